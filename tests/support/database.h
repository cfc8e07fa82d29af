// Databases in tests: scratch copies, tables opened and read back through
// the engine, the checker's verdict, mdb-export as an outside reader.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "jet/check.h"
#include "jet/db/database_impl.h"
#include "jet/text.h"
#include "support/files.h"
#include "support/process.h"

namespace test_db {

using test_files::haveMdbExport;
using test_files::mdbExport;

namespace fs = std::filesystem;
using namespace jet;

// A copy of `source` in a fresh folder, removed with the object.
class Scratch {
public:
    explicit Scratch(const fs::path& source, const std::string& name = "db.mdb")
        : dir_("velmorant-append"), path_(dir_.copy(source, name)) {}
    const fs::path& path() const { return path_; }
    std::string bytes() const {
        const auto all = test_files::readAll(path_);
        return std::string(all.begin(), all.end());
    }

private:
    test_files::ScratchDir dir_;
    fs::path path_;
};

inline fs::path blank() { return test_files::testData("blank.mdb"); }

inline std::u16string u(const std::string& utf8) { return fromUtf8(utf8); }

inline std::unique_ptr<Database> openWritable(const fs::path& file) {
    std::unique_ptr<Database> db;
    Status s = Database::open(test_files::utf8(file), Pager::Mode::Exclusive, &db);
    EXPECT_TRUE(s.ok()) << s.message();
    return db;
}

inline std::unique_ptr<Table> openTable(Database& db, const std::string& name) {
    std::unique_ptr<Table> t;
    Status s = db.openTable(name, &t);
    EXPECT_TRUE(s.ok()) << name << ": " << s.message();
    return t;
}

inline std::size_t columnAt(const Table& t, const std::string& name) {
    const int at = t.columnIndex(name);
    EXPECT_GE(at, 0) << name;
    return static_cast<std::size_t>(at);
}

// Every row of the table in scan order.
inline std::vector<std::vector<Value>> readAll(Database& db, const std::string& name) {
    std::vector<std::vector<Value>> rows;
    auto t = openTable(db, name);
    if (!t) return rows;
    Table::Cursor c(*t);
    bool has = false;
    for (;;) {
        Status s = c.next(&has);
        EXPECT_TRUE(s.ok()) << s.message();
        if (!s.ok() || !has) break;
        rows.push_back(c.row());
    }
    return rows;
}

// The checker's verdict; problems are reported as failures.
inline CheckReport expectCleanCheck(const fs::path& file) {
    CheckReport r;
    Status s = checkFile(file.string(), &r);
    EXPECT_TRUE(s.ok()) << s.message();
    for (const std::string& p : r.problems) ADD_FAILURE() << p;
    return r;
}

} // namespace test_db
