// The largest key read from the last entry of an index, against the rows.
#include "support/database.h"

#include <algorithm>
#include <random>

namespace {

using namespace test_db;

class HighestIndexed : public ::testing::Test {
protected:
    void SetUp() override { reopen(); }
    void TearDown() override {
        table_.reset();
        db_.reset();
    }
    void reopen() {
        table_.reset();
        db_.reset();
        db_ = openWritable(file_.path());
        ASSERT_TRUE(db_);
        table_ = openTable(*db_, "zariadenia");
    }
    // *found, and the value when found.
    std::pair<bool, Value> highest(std::string_view column) {
        bool found = true;
        Value v = std::int64_t{-12345};
        Status s = table_->highestIndexed(column, &found, &v);
        EXPECT_TRUE(s.ok()) << s.message();
        return {found, found ? v : Value{}};
    }
    void append(std::int64_t key) {
        std::vector<Value> row(table_->columns().size());
        row[impl(*table_).def().column("id_zariadenia") - impl(*table_).def().columns.data()] = key;
        Status s = table_->append(&row);
        ASSERT_TRUE(s.ok()) << s.message();
    }

    Scratch file_{blank()};
    std::unique_ptr<Database> db_;
    std::unique_ptr<Table> table_;
};

TEST_F(HighestIndexed, FollowsTheRowsAsTheTreeGrowsAndAfterCommit) {
    EXPECT_EQ(highest("id_zariadenia"), std::make_pair(true, Value{}));

    std::vector<std::int64_t> keys;
    for (std::int64_t k = -1500; k < 1500; ++k) keys.push_back(k * 7);
    std::shuffle(keys.begin(), keys.end(), std::mt19937(5));
    ASSERT_TRUE(db_->begin().ok());
    std::int64_t max = INT64_MIN;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        append(keys[i]);
        max = std::max(max, keys[i]);
        // Rows still held by the writer count too.
        if (i == 0 || i == 99 || i + 1 == keys.size())
            EXPECT_EQ(highest("id_zariadenia"), std::make_pair(true, Value{max})) << i;
    }
    // An index whose every entry is Null: the column holds no value.
    EXPECT_EQ(highest("typ_zariadenia"), std::make_pair(true, Value{}));
    ASSERT_TRUE(db_->commit().ok());
    reopen();
    EXPECT_EQ(highest("ID_Zariadenia"), std::make_pair(true, Value{std::int64_t{1499 * 7}}));
}

TEST_F(HighestIndexed, NotFoundWithoutALongIndexOrWithADamagedTree) {
    append(42);
    EXPECT_FALSE(highest("sietova_adresa").first); // Long, no index
    EXPECT_FALSE(highest("umiestnenie").first);    // text
    EXPECT_FALSE(highest("no_such_column").first);

    // The root page of the key's index overwritten: the caller reads the rows.
    std::uint32_t root = 0;
    const ColumnDef* key = impl(*table_).def().column("id_zariadenia");
    for (const RealIndexDef& ix : impl(*table_).def().realIndexes)
        if (ix.columns.front().column == key->number) root = ix.firstPage;
    ASSERT_NE(root, 0u);
    ASSERT_TRUE(impl(*db_).pager().begin().ok());
    Page junk{};
    junk.bytes.fill(0x5A);
    ASSERT_TRUE(impl(*db_).pager().write(root, junk).ok());
    ASSERT_TRUE(impl(*db_).pager().commit().ok());
    reopen();
    EXPECT_FALSE(highest("id_zariadenia").first);
}

} // namespace
