// The single-value query on the fixture files: highest keys, the identifier
// test, defaults. Recordsets, saved rows and key conversions are pinned by
// the row-copy and whole-merge tests.
#include <gtest/gtest.h>

#include <filesystem>

#include "jet/text.h"
#include "mdb_file.h"
#include "merge/dao.h"
#include "merge/plan.h"
#include "merge/row_copy.h"
#include "schema/catalogue.h"
#include "support/files.h"

namespace merge {
namespace {

namespace fs = std::filesystem;
namespace s = schema;

class FileDao : public ::testing::Test {
protected:
    void TearDown() override { db_.reset(); }
    Database& open(const char* fixture) {
        const fs::path to = dir_.copy(test_files::testData(fixture), fixture);
        jet::Status status = openDatabase(to.string(), &db_);
        EXPECT_TRUE(status.ok()) << status.message();
        return *db_;
    }
    test_files::ScratchDir dir_{"merge-dao"};
    std::unique_ptr<Database> db_;
};

TEST_F(FileDao, HighestKeyIsReadFromTheTargetNullOverNoRows) {
    Database& sample = open("sample.mdb");
    EXPECT_EQ(ZistiStringHodnotu(&sample, MaxOf{"zariadenia", "id_zariadenia"}, "0"), "738");
    EXPECT_EQ(ZistiStringHodnotu(&sample, MaxOf{"OBCHODZKY", "ID"}, "0"), "23");
    EXPECT_EQ(ZistiStringHodnotu(&sample, MaxOf{"zariadenia", "no_such_column"}, "x"), "x");
    EXPECT_EQ(ZistiStringHodnotu(&sample, MaxOf{"no_such_table", "id"}, "x"), "x");
    std::int32_t key = 0;
    NextKey next = firstNewKey(sample, importPlan()[0]);
    ASSERT_TRUE(next.take(&key));
    EXPECT_EQ(key, 739);

    Database& blank = open("blank.mdb");
    std::unique_ptr<Recordset> rs;
    ASSERT_TRUE(blank.openRecordset(MaxOf{"zvuky", "id_zvuku"}, &rs).ok());
    ASSERT_FALSE(rs->eof());                      // one row ...
    EXPECT_TRUE(jet::isNull(rs->values().at(0))); // ... holding Null
    EXPECT_EQ(ZistiStringHodnotu(&blank, MaxOf{"zvuky", "id_zvuku"}, "0"), "0");
}

TEST_F(FileDao, IdentifierTestIgnoresLetterCaseAndTakesQuotes) {
    Database& sample = open("sample.mdb");
    auto test = [&](const char* text) {
        return ZistiStringHodnotu(&sample, ValueOf{"identifikatory", "identifikator", jet::fromUtf8(text)}, "");
    };
    EXPECT_EQ(test("O'Neil-1"), "O'Neil-1");
    EXPECT_FALSE(test("o'neil-1").empty());
    EXPECT_FALSE(test("L'Ami'-1'").empty());
    EXPECT_FALSE(test("ba1f8a76").empty());
    EXPECT_EQ(test("BA1F8A7"), "");
    EXPECT_EQ(test("' OR ''='"), "");
}

} // namespace
} // namespace merge
