// Data access on the fixture files (reading only) and the single-value query.
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
        EXPECT_TRUE(status.isOk()) << status.message();
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
    ASSERT_TRUE(blank.openRecordset(MaxOf{"zvuky", "id_zvuku"}, &rs).isOk());
    ASSERT_FALSE(rs->eof()); // one row ...
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

TEST_F(FileDao, TableRecordsetWalksEveryRowWithItsFields) {
    Database& sample = open("sample.mdb");
    std::unique_ptr<Recordset> rs;
    ASSERT_TRUE(sample.openRecordset("ZARIADENIA", &rs).isOk());
    EXPECT_GE(fieldIndex(rs->fields(), "Flag_Offline"), 0);
    EXPECT_EQ(rs->fields().size(), 12u);
    int rows = 0;
    while (!rs->eof()) {
        ASSERT_EQ(rs->values().size(), 12u);
        ++rows;
        ASSERT_TRUE(rs->moveNext().isOk());
    }
    EXPECT_EQ(rows, 30);
    EXPECT_TRUE(rs->moveNext().isOk()); // past the end stays at the end
    EXPECT_TRUE(rs->eof());

    std::unique_ptr<Recordset> hv;
    ASSERT_TRUE(sample.openRecordset(s::hlasove_vyzvy::table, &hv).isOk());
    EXPECT_TRUE(hv->fields()[fieldIndex(hv->fields(), "id_vyzvy")].autoNumber);
    EXPECT_EQ(sample.openRecordset("no_such_table", &hv).code(), jet::Status::Code::NotFound);

    std::string version;
    ASSERT_TRUE(sample.property(s::TABLES_VERSION, &version).isOk());
    EXPECT_EQ(version, "Tarvexon 3.162");
}

TEST_F(FileDao, SavedRowsAreSeenByTheIdentifierTestUntilRolledBack) {
    Database& db = open("blank.mdb");
    const ValueOf test{"identifikatory", "identifikator", u"Žltý-1"};
    ASSERT_EQ(ZistiStringHodnotu(&db, test, ""), "");
    ASSERT_TRUE(db.begin().isOk());
    std::unique_ptr<Recordset> rs;
    ASSERT_TRUE(db.openRecordset("identifikatory", &rs).isOk());
    std::vector<jet::Value>& row = rs->addNew();
    row[fieldIndex(rs->fields(), "identifikator")] = std::u16string(u"žltý-1");
    jet::Status saved = rs->save();
    ASSERT_TRUE(saved.isOk()) << saved.message();
    EXPECT_EQ(ZistiStringHodnotu(&db, test, ""), "Žltý-1");
    rs->addNew()[fieldIndex(rs->fields(), "identifikator")] = std::u16string(u"ŽLTÝ-1");
    EXPECT_EQ(rs->save().code(), jet::Status::Code::Refused); // the key ignores letter case too
    ASSERT_TRUE(db.rollback().isOk());
    EXPECT_EQ(ZistiStringHodnotu(&db, test, ""), "");
}

TEST(SingleValue, DefaultUnlessTheFirstRowHoldsAValue) {
    testing::ScratchDir dir;
    testing::MdbFile file(dir / "t.mdb");
    EXPECT_EQ(ZistiStringHodnotu(nullptr, MaxOf{"zvuky", "id_zvuku"}, "d"), "d");
    {
        std::unique_ptr<Database> db = testing::openForMerge(file);
        EXPECT_EQ(ZistiStringHodnotu(db.get(), MaxOf{"zvuky", "id_zvuku"}, "0"), "0"); // Null maximum
        EXPECT_EQ(ZistiStringHodnotu(db.get(), ValueOf{"zvuky", "popis", u"x"}, "d"), "d"); // no row
        EXPECT_EQ(ZistiStringHodnotu(db.get(), MaxOf{"missing", "n"}, "d"), "d"); // cannot be run
    }
    file.insert("zvuky", {{"id_zvuku", std::int64_t{-12}}, {"popis", std::u16string()}});
    file.insert("zvuky", {{"id_zvuku", std::int64_t{-40}}});
    std::unique_ptr<Database> db = testing::openForMerge(file);
    EXPECT_EQ(ZistiStringHodnotu(db.get(), MaxOf{"zvuky", "id_zvuku"}, "0"), "-12");
    EXPECT_EQ(ZistiStringHodnotu(db.get(), ValueOf{"zvuky", "popis", u""}, "d"), ""); // empty text is a value
}

TEST(SingleValue, KeysConvertOnlyWhenWholeAndInRange) {
    std::int32_t key = 0;
    EXPECT_TRUE(toInt32(std::int64_t{-2147483648}, &key));
    EXPECT_EQ(key, -2147483648);
    EXPECT_FALSE(toInt32(std::int64_t{2147483648}, &key));
    EXPECT_TRUE(toInt32(12.0, &key));
    EXPECT_EQ(key, 12);
    EXPECT_FALSE(toInt32(12.5, &key));
    EXPECT_FALSE(toInt32(jet::Value{}, &key));
    EXPECT_FALSE(toInt32(std::u16string(u"12"), &key));
}

} // namespace
} // namespace merge
