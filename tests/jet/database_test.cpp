// The reading API over the fixture databases: catalogue, table definitions,
// properties, row cursors and locking.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "jet/database.h"
#include "support/files.h"

namespace fs = std::filesystem;
using jet::Database;
using jet::Status;

namespace {

std::string data(const char* name) { return std::string(VELMORANT_TEST_DATA) + "/" + name; }

std::unique_ptr<Database> openOrFail(const std::string& path, jet::Pager::Mode mode = jet::Pager::Mode::ReadOnly) {
    std::unique_ptr<Database> db;
    Status s = Database::open(path, mode, &db);
    EXPECT_TRUE(s) << path << ": " << s.message();
    return db;
}

std::u16string textProperty(const Database& db, const char* name) {
    jet::Value v;
    Status s = db.property(name, &v);
    EXPECT_TRUE(s) << s.message();
    auto* t = std::get_if<std::u16string>(&v);
    return t ? *t : u"<not text>";
}

} // namespace

TEST(Database, TablesAreFoundIgnoringCase) {
    auto db = openOrFail(data("sample.mdb"));
    ASSERT_TRUE(db);
    std::unique_ptr<jet::Table> t;
    ASSERT_TRUE(db->openTable("IDENTIFIKATORY", &t));
    EXPECT_EQ(t->name(), "identifikatory");
    EXPECT_TRUE(db->openTable("msysobjects", &t));
    Status s = db->openTable("neexistuje", &t);
    EXPECT_EQ(s.code(), Status::Code::NotFound);
    EXPECT_NE(s.message().find("neexistuje"), std::string::npos);
}

TEST(Database, VersionProperty) {
    struct Case { const char* file; std::u16string version; };
    for (const Case& c : {Case{"sample.mdb", u"Tarvexon 3.162"}, Case{"version-3161.mdb", u"Tarvexon 3.161"},
                          Case{"version-trailing-blank.mdb", u"Tarvexon 3.162 "},
                          Case{"version-lowercase.mdb", u"tarvexon 3.162"}}) {
        auto db = openOrFail(data(c.file));
        ASSERT_TRUE(db);
        EXPECT_EQ(textProperty(*db, "TABLES_VERSION"), c.version) << c.file;
        EXPECT_EQ(textProperty(*db, "tables_version"), c.version) << c.file;
    }
    auto db = openOrFail(data("no-version.mdb"));
    ASSERT_TRUE(db);
    jet::Value v;
    EXPECT_EQ(db->property("TABLES_VERSION", &v).code(), Status::Code::NotFound);
    EXPECT_EQ(textProperty(*db, "AccessVersion"), u"08.50");
}

