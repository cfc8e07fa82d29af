// Shared by the append tests: scratch copies of databases, reading a table
// back, the checker and mdb-export as an outside reader.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "jet/check.h"
#include "jet/database.h"
#include "jet/text.h"
#include "test_files.h"

namespace append_test {

namespace fs = std::filesystem;
using namespace jet;

// A copy of `source` in a fresh folder, removed with the object.
class Scratch {
public:
    explicit Scratch(const fs::path& source, const std::string& name = "db.mdb")
        : dir_("velmorant-append"), path_(dir_.copy(source, name)) {}
    const fs::path& path() const { return path_; }
    std::string bytes() const {
        std::ifstream f(path_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }

private:
    test_files::ScratchDir dir_;
    fs::path path_;
};

inline fs::path blank() { return test_files::testData("blank.mdb"); }

inline std::unique_ptr<Database> openWritable(const fs::path& file) {
    std::unique_ptr<Database> db;
    Status s = Database::open(file, Pager::Mode::Exclusive, &db);
    EXPECT_TRUE(s.isOk()) << s.message();
    return db;
}

inline std::unique_ptr<Table> openTable(Database& db, const std::string& name) {
    std::unique_ptr<Table> t;
    Status s = db.openTable(name, &t);
    EXPECT_TRUE(s.isOk()) << name << ": " << s.message();
    return t;
}

inline std::size_t columnAt(const Table& t, const std::string& name) {
    const ColumnDef* c = t.def().column(name);
    EXPECT_NE(c, nullptr) << name;
    return static_cast<std::size_t>(c - t.def().columns.data());
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
        EXPECT_TRUE(s.isOk()) << s.message();
        if (!s.isOk() || !has) break;
        rows.push_back(c.row());
    }
    return rows;
}

// The checker's verdict; problems are reported as failures.
inline CheckReport expectCleanCheck(const fs::path& file) {
    CheckReport r;
    Status s = checkFile(file.string(), &r);
    EXPECT_TRUE(s.isOk()) << s.message();
    for (const std::string& p : r.problems) ADD_FAILURE() << p;
    return r;
}

// Output of a command, or "" with a failure when it cannot run.
inline std::string run(const std::string& command) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return out;
    char buf[65536];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    const int rc = pclose(p);
    EXPECT_EQ(rc, 0) << command;
    return out;
}

inline bool haveMdbExport() { return std::system("command -v mdb-export >/dev/null 2>&1") == 0; }

// mdb-export's rows of the table without the header, fields split at tabs,
// no quoting, control characters escaped, "~" for Null, binary values in hex.
inline std::vector<std::vector<std::string>> mdbExport(const fs::path& file, const std::string& table) {
    const std::string out =
        run("mdb-export -H -Q -e -d '\\t' -0 '~' -b hex '" + file.string() + "' '" + table + "'");
    std::vector<std::vector<std::string>> rows;
    std::size_t start = 0;
    while (start < out.size()) {
        std::size_t end = out.find('\n', start);
        if (end == std::string::npos) end = out.size();
        const std::string line = out.substr(start, end - start);
        std::vector<std::string> fields;
        std::size_t a = 0;
        for (;;) {
            const std::size_t b = line.find('\t', a);
            fields.push_back(line.substr(a, b == std::string::npos ? std::string::npos : b - a));
            if (b == std::string::npos) break;
            a = b + 1;
        }
        rows.push_back(std::move(fields));
        start = end + 1;
    }
    return rows;
}

} // namespace append_test
