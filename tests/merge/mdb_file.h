// Copies of the empty server database for merge tests: filled with the rows
// a case needs through the engine, read back with the engine's reader, and
// altered in place where a case needs a file that differs from the usual
// layout (another column type or length, a table without its primary key, a
// renamed table, a damaged page).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "jet/db/database_impl.h"
#include "jet/text.h"
#include "merge/dao.h"
#include "support/files.h"

namespace merge::testing {

namespace fs = std::filesystem;
using jet::Bytes;
using Cells = std::vector<std::pair<std::string, jet::Value>>;

inline jet::Value I(std::int64_t n) { return n; }
inline jet::Value T(const char* utf8) { return jet::fromUtf8(utf8); }
const jet::Value Null{};

using test_files::readAll;
using test_files::ScratchDir;
using test_files::writeAll;

class MdbFile {
public:
    // A copy of the fixture file `from`.
    explicit MdbFile(fs::path path, const char* from = "blank.mdb") : path_(std::move(path)) {
        fs::copy_file(fs::path(VELMORANT_TEST_DATA) / from, path_, fs::copy_options::overwrite_existing);
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
            const jet::ColumnDef* c = impl(*t).def().column(column);
            ASSERT_NE(c, nullptr) << column;
            row[c - impl(*t).def().columns.data()] = value;
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

    // One column of every row, in table-scan order.
    std::vector<jet::Value> column(std::string_view table, const std::string& name) {
        close();
        std::vector<jet::Value> out;
        read(table, [&](const jet::Table& t, const std::vector<jet::Value>& row) {
            const jet::ColumnDef* c = impl(t).def().column(name);
            ASSERT_NE(c, nullptr) << name;
            out.push_back(row[c - impl(t).def().columns.data()]);
        });
        return out;
    }
    std::size_t rows(std::string_view table) {
        close();
        std::size_t n = 0;
        read(table, [&](const jet::Table&, const std::vector<jet::Value>&) { ++n; });
        return n;
    }
    // The table's data pages, in map order.
    std::vector<std::uint32_t> dataPages(std::string_view table) {
        close();
        std::vector<std::uint32_t> pages;
        withTable(table, [&](jet::Table& t) { EXPECT_TRUE(impl(t).dataPages(&pages).ok()); });
        return pages;
    }

    // Alterations of the stored bytes (the file closed).
    void setColumnType(std::string_view table, const std::string& column, jet::ColumnType type) {
        patch(columnDescriptor(table, column), {static_cast<std::uint8_t>(type)});
    }
    void setTextLength(std::string_view table, const std::string& column, std::uint16_t chars) {
        std::uint16_t bytes = 2 * chars;
        patch(columnDescriptor(table, column) + 23,
              {static_cast<std::uint8_t>(bytes), static_cast<std::uint8_t>(bytes >> 8)});
    }
    void setSortOrder(std::string_view table, const std::string& column, std::uint16_t lcid) {
        patch(columnDescriptor(table, column) + 11,
              {static_cast<std::uint8_t>(lcid), static_cast<std::uint8_t>(lcid >> 8)});
    }
    // Renames a table in the catalogue; the new name has the old one's length.
    void renameTable(std::string_view from, std::string_view to) {
        close();
        Bytes bytes = readAll(path_), old = utf16(from), now = utf16(to);
        ASSERT_EQ(old.size(), now.size());
        auto at = std::search(bytes.begin(), bytes.end(), old.begin(), old.end());
        ASSERT_NE(at, bytes.end()) << from;
        std::copy(now.begin(), now.end(), at);
        writeAll(path_, bytes);
    }
    // Overwrites a page from byte `from` on.
    void damagePage(std::uint32_t page, std::size_t from) {
        close();
        Bytes bytes = readAll(path_);
        std::fill(bytes.begin() + page * jet::kPageSize + from, bytes.begin() + (page + 1) * jet::kPageSize, 0x5a);
        writeAll(path_, bytes);
    }

private:
    template <class Visit> void withTable(std::string_view table, Visit visit) {
        std::unique_ptr<jet::Database> db;
        ASSERT_TRUE(jet::Database::open(path_.string(), jet::Pager::Mode::ReadOnly, &db).ok());
        std::unique_ptr<jet::Table> t;
        ASSERT_TRUE(db->openTable(table, &t).ok()) << table;
        visit(*t);
    }
    template <class Visit> void read(std::string_view table, Visit visit) {
        withTable(table, [&](jet::Table& t) {
            jet::Table::Cursor cursor(t);
            for (bool hasRow = true;;) {
                jet::Status status = cursor.next(&hasRow);
                ASSERT_TRUE(status.ok()) << status.message();
                if (!hasRow) return;
                visit(t, cursor.row());
            }
        });
    }
    jet::TableDef definition(std::string_view table) {
        close();
        jet::TableDef def;
        withTable(table, [&](jet::Table& t) { def = impl(t).def(); });
        return def;
    }
    std::size_t columnDescriptor(std::string_view table, const std::string& column) {
        jet::TableDef def = definition(table);
        const jet::ColumnDef* c = def.column(column);
        EXPECT_NE(c, nullptr) << column;
        return c ? fileOffset(def, c->descriptorOffset) : 0;
    }
    // Where a byte of a definition lies in the file: the first page whole,
    // then bytes 8.. of each page of the chain.
    static std::size_t fileOffset(const jet::TableDef& def, std::size_t at) {
        if (at < jet::kPageSize) return std::size_t{def.pages.at(0)} * jet::kPageSize + at;
        at -= jet::kPageSize;
        constexpr std::size_t kRest = jet::kPageSize - 8;
        return std::size_t{def.pages.at(1 + at / kRest)} * jet::kPageSize + 8 + at % kRest;
    }
    void patch(std::size_t offset, const Bytes& with) {
        ASSERT_GT(offset, 0u);
        Bytes bytes = readAll(path_);
        std::copy(with.begin(), with.end(), bytes.begin() + offset);
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

} // namespace merge::testing
