// The reading API over the fixture databases: catalogue, table definitions,
// properties, row cursors and locking.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "jet/database.h"
#include "test_files.h"

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

TEST(Database, HeaderAndCatalogue) {
    auto db = openOrFail(data("sample.mdb"));
    ASSERT_TRUE(db);
    EXPECT_EQ(db->format(), jet::Format::V2000);
    EXPECT_EQ(db->codePage(), 1252);
    EXPECT_EQ(db->sortOrder(), 0x0409);
    EXPECT_EQ(db->userTables().size(), 48u);
    bool sawSystem = false;
    for (const jet::TableInfo& t : db->tables()) {
        if (t.name == "MSysObjects") {
            EXPECT_EQ(t.kind, jet::TableInfo::Kind::System);
            EXPECT_EQ(t.firstPage, 2u);
            sawSystem = true;
        }
    }
    EXPECT_TRUE(sawSystem);
}

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

TEST(Database, IndexDescriptors) {
    auto db = openOrFail(data("sample.mdb"));
    ASSERT_TRUE(db);
    std::unique_ptr<jet::Table> t;
    ASSERT_TRUE(db->openTable("identifikatory", &t));
    const jet::TableDef& def = t->def();
    EXPECT_EQ(def.columns.size(), 23u);
    EXPECT_EQ(def.columns.front().name, "cislo_bytu");
    const jet::ColumnDef* key = def.column("Identifikator");
    ASSERT_TRUE(key);
    EXPECT_EQ(key->type, jet::ColumnType::Text);
    EXPECT_EQ(key->length, 40);
    const jet::ColumnDef* memo = def.column("poznamky");
    ASSERT_TRUE(memo);
    EXPECT_TRUE(def.longValueMapsOf(memo->number));

    const jet::LogicalIndexDef* pk = nullptr;
    const jet::LogicalIndexDef* byName = nullptr;
    for (const auto& l : def.logicalIndexes) {
        if (l.name == "PrimaryKey") pk = &l;
        if (l.name == "ix_ident_meno") byName = &l;
    }
    ASSERT_TRUE(pk && byName);
    EXPECT_TRUE(pk->isPrimaryKey());
    const jet::RealIndexDef& pkReal = def.realIndexes.at(pk->realIndex);
    ASSERT_EQ(pkReal.columns.size(), 1u);
    EXPECT_EQ(pkReal.columns[0].column, key->number);
    EXPECT_TRUE(pkReal.columns[0].ascending);
    EXPECT_TRUE(pkReal.isUnique());
    EXPECT_NE(pkReal.firstPage, 0u);
    const jet::RealIndexDef& nameReal = def.realIndexes.at(byName->realIndex);
    EXPECT_FALSE(nameReal.isUnique());
    EXPECT_EQ(nameReal.columns.at(0).column, def.column("meno_majitela")->number);
}

TEST(Database, ScansMatchStoredRowCounts) {
    auto db = openOrFail(data("sample.mdb"));
    ASSERT_TRUE(db);
    std::size_t total = 0;
    for (const std::string& name : db->userTables()) {
        std::unique_ptr<jet::Table> t;
        ASSERT_TRUE(db->openTable(name, &t));
        jet::Table::Cursor cursor(*t);
        std::set<jet::RowId> ids;
        std::size_t rows = 0;
        for (;;) {
            bool has;
            Status s = cursor.next(&has);
            ASSERT_TRUE(s) << name << ": " << s.message();
            if (!has) break;
            ++rows;
            EXPECT_EQ(cursor.row().size(), t->def().columns.size());
            EXPECT_TRUE(ids.insert(cursor.rowId()).second) << name;
        }
        EXPECT_EQ(rows, t->rowCount()) << name;
        total += rows;
    }
    EXPECT_EQ(total, 5346u);
}

TEST(Database, ExclusiveOpenLocksOutEveryOtherOpen) {
    test_files::ScratchDir dir;
    const fs::path copy = dir.copy(data("blank.mdb"), "lock.mdb");
    fs::permissions(copy, fs::perms::owner_read | fs::perms::owner_write);
    {
        auto first = openOrFail(copy.string(), jet::Pager::Mode::Exclusive);
        ASSERT_TRUE(first);
        std::unique_ptr<Database> second;
        EXPECT_FALSE(Database::open(copy.string(), jet::Pager::Mode::Exclusive, &second));
        EXPECT_FALSE(Database::open(copy.string(), jet::Pager::Mode::ReadOnly, &second));
    }
    EXPECT_TRUE(openOrFail(copy.string(), jet::Pager::Mode::Exclusive));
}
