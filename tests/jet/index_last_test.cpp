// The largest key read from the last entry of an index, against the rows.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "jet/database.h"

namespace {

namespace fs = std::filesystem;
using namespace jet;

class HighestIndexed : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("velmorant-index-last-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        file_ = dir_ / "db.mdb";
        fs::copy_file(fs::path(VELMORANT_TEST_DATA) / "blank.mdb", file_, fs::copy_options::overwrite_existing);
        reopen();
    }
    void TearDown() override {
        table_.reset();
        db_.reset();
        fs::remove_all(dir_);
    }
    void reopen() {
        table_.reset();
        db_.reset();
        ASSERT_TRUE(Database::open(file_.string(), Pager::Mode::Exclusive, &db_).isOk());
        ASSERT_TRUE(db_->openTable("zariadenia", &table_).isOk());
    }
    // *found, and the value when found.
    std::pair<bool, Value> highest(std::string_view column) {
        bool found = true;
        Value v = std::int64_t{-12345};
        Status s = table_->highestIndexed(column, &found, &v);
        EXPECT_TRUE(s.isOk()) << s.message();
        return {found, found ? v : Value{}};
    }
    void append(std::int64_t key) {
        std::vector<Value> row(table_->def().columns.size());
        row[table_->def().column("id_zariadenia") - table_->def().columns.data()] = key;
        Status s = table_->append(&row);
        ASSERT_TRUE(s.isOk()) << s.message();
    }

    fs::path dir_, file_;
    std::unique_ptr<Database> db_;
    std::unique_ptr<Table> table_;
};

TEST_F(HighestIndexed, FollowsTheRowsAsTheTreeGrowsAndAfterCommit) {
    EXPECT_EQ(highest("id_zariadenia"), std::make_pair(true, Value{}));

    std::vector<std::int64_t> keys;
    for (std::int64_t k = -1500; k < 1500; ++k) keys.push_back(k * 7);
    std::shuffle(keys.begin(), keys.end(), std::mt19937(5));
    ASSERT_TRUE(db_->begin().isOk());
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
    ASSERT_TRUE(db_->commit().isOk());
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
    const ColumnDef* key = table_->def().column("id_zariadenia");
    for (const RealIndexDef& ix : table_->def().realIndexes)
        if (ix.columns.front().column == key->number) root = ix.firstPage;
    ASSERT_NE(root, 0u);
    ASSERT_TRUE(db_->pager().begin().isOk());
    Page junk{};
    junk.bytes.fill(0x5A);
    ASSERT_TRUE(db_->pager().write(root, junk).isOk());
    ASSERT_TRUE(db_->pager().commit().isOk());
    reopen();
    EXPECT_FALSE(highest("id_zariadenia").first);
}

} // namespace
