// The scaffolding of the merge tests. Copies of the empty server database:
// filled with the rows a case needs through the engine, and altered in place
// where a case needs a file the engine would not write (a renamed table, a
// damaged page).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "jet/db/database_impl.h"
#include "merge/dao.h"
#include "merge/key_maps.h"
#include "recording_ui.h"
#include "support/files.h"

namespace merge::testing {

namespace fs = std::filesystem;
using jet::Bytes;
using Cells = std::vector<std::pair<std::string, jet::Value>>;

inline jet::Value I(std::int64_t n) { return n; }

using test_files::readAll;
using test_files::ScratchDir;
using test_files::writeAll;

class MdbFile {
public:
    // A copy of the fixture file `from`.
    explicit MdbFile(fs::path path, const char* from = "blank.mdb") : path_(std::move(path)) {
        fs::copy_file(test_files::testData(from), path_, fs::copy_options::overwrite_existing);
    }
    ~MdbFile() { close(); }
    const fs::path& path() const { return path_; }

    // Appends one row, the columns named, the others Null. All rows added
    // until close() are one transaction.
    void insert(std::string_view table, const Cells& cells) {
        if (!db_) {
            ASSERT_TRUE(jet::Database::open(path_.string(), jet::Pager::Mode::Exclusive, &db_).ok());
            ASSERT_TRUE(db_->begin().ok());
        }
        std::unique_ptr<jet::Table> t;
        ASSERT_TRUE(db_->openTable(table, &t).ok()) << table;
        std::vector<jet::Value> row(t->columns().size());
        for (const auto& [column, value] : cells) {
            const int at = t->columnIndex(column);
            ASSERT_GE(at, 0) << column;
            row[at] = value;
        }
        jet::Status status = t->append(&row);
        ASSERT_TRUE(status.ok()) << table << ": " << status.message();
    }
    void close() {
        if (db_) {
            EXPECT_TRUE(db_->commit().ok());
        }
        db_.reset();
    }

    // The table's data pages, in map order.
    std::vector<std::uint32_t> dataPages(std::string_view table) {
        close();
        std::vector<std::uint32_t> pages;
        std::unique_ptr<jet::Database> db;
        std::unique_ptr<jet::Table> t;
        EXPECT_TRUE(jet::Database::open(path_.string(), jet::Pager::Mode::ReadOnly, &db).ok());
        EXPECT_TRUE(db && db->openTable(table, &t).ok()) << table;
        EXPECT_TRUE(t && impl(*t).dataPages(&pages).ok());
        return pages;
    }

    // Renames a table in the catalogue, or a column in its table's
    // definition; the new name has the old one's length.
    void renameTable(std::string_view from, std::string_view to) { rename(from, to, 0, 0); }
    void renameColumn(std::string_view table, std::string_view from, std::string_view to) {
        close();
        std::unique_ptr<jet::Database> db;
        std::unique_ptr<jet::Table> t;
        ASSERT_TRUE(jet::Database::open(path_.string(), jet::Pager::Mode::ReadOnly, &db).ok());
        ASSERT_TRUE(db->openTable(table, &t).ok()) << table;
        const std::size_t page = impl(*t).def().firstPage;
        db.reset();
        rename(from, to, page * jet::kPageSize, jet::kPageSize);
    }
    // Overwrites a page from byte `from` on.
    void damagePage(std::uint32_t page, std::size_t from) {
        close();
        Bytes bytes = readAll(path_);
        std::fill(bytes.begin() + page * jet::kPageSize + from, bytes.begin() + (page + 1) * jet::kPageSize, 0x5a);
        writeAll(path_, bytes);
    }

private:
    // The first `from` in `length` bytes from `offset` on (0: to the end).
    void rename(std::string_view from, std::string_view to, std::size_t offset, std::size_t length) {
        close();
        Bytes bytes = readAll(path_), old = utf16(from), now = utf16(to);
        ASSERT_EQ(old.size(), now.size());
        const auto begin = bytes.begin() + static_cast<std::ptrdiff_t>(offset);
        const auto end = length ? begin + static_cast<std::ptrdiff_t>(length) : bytes.end();
        auto at = std::search(begin, end, old.begin(), old.end());
        ASSERT_NE(at, end) << from;
        std::copy(now.begin(), now.end(), at);
        writeAll(path_, bytes);
    }
    static Bytes utf16(std::string_view ascii) {
        Bytes out;
        for (char c : ascii) out.insert(out.end(), {static_cast<std::uint8_t>(c), 0});
        return out;
    }

    fs::path path_;
    std::unique_ptr<jet::Database> db_;
};

// Opens a closed file for the merge.
inline std::unique_ptr<Database> openForMerge(MdbFile& file) {
    file.close();
    std::unique_ptr<Database> db;
    jet::Status status = openDatabase(file.path().string(), &db);
    EXPECT_TRUE(status.ok()) << status.message();
    return db;
}

// A key map's entries as (old, new) pairs, in the order the map took them.
using MapEntries = std::vector<std::pair<std::int64_t, std::int64_t>>;
template <class Entry, std::int32_t Entry::*Old, std::int32_t Entry::*New>
MapEntries entriesOf(const KeyMap<Entry, Old, New>& map) {
    MapEntries out;
    for (const Entry& e : map.entries()) out.emplace_back(e.*Old, e.*New);
    return out;
}

// A source and a target file with the key maps of a run.
struct PlanFixture {
    PlanFixture() : dir("merge"), source(dir / "zdroj.mdb"), target(dir / "ciel.mdb") {}
    ScratchDir dir;
    MdbFile source, target;
    KeyMaps maps;
};

} // namespace merge::testing
