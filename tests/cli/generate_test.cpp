// velmorant-cli generate: the row mix of a server's file, every drawn row
// written, the contents merges rely on (device types, Nulls, long memos,
// references that resolve and some that do not), texts within their columns.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "jet/database.h"
#include "jet/table.h"
#include "jet/text.h"
#include "merge/dao.h"
#include "schema/catalogue.h"
#include "support/files.h"
#include "support/process.h"

namespace {

using jet::Value;
using test_files::cli;
using Rows = std::vector<std::vector<Value>>;

struct Table {
    std::vector<merge::Field> fields;
    Rows rows;
    std::vector<Value> column(std::string_view name) const {
        std::vector<Value> out;
        int at = merge::fieldIndex(fields, name);
        for (const auto& row : rows) out.push_back(at >= 0 ? row[at] : Value{});
        return out;
    }
};

std::map<std::string, Table> readAll(const std::string& path) {
    std::map<std::string, Table> out;
    std::unique_ptr<merge::Database> db;
    EXPECT_TRUE(merge::openDatabase(path, &db).ok()) << path;
    if (!db) return out;
    for (const schema::TableInfo& info : schema::tables()) {
        std::unique_ptr<merge::Recordset> rs;
        if (!db->openRecordset(info.name, &rs).ok()) continue;
        Table& table = out[std::string(info.name)];
        table.fields = rs->fields();
        while (!rs->eof()) {
            table.rows.push_back(rs->values());
            if (!rs->moveNext().ok()) break;
        }
    }
    return out;
}

std::string generate(const std::string& out, int seed, int scale, const std::string& more = "") {
    test_files::ProgramRun made =
        cli("generate " + out + " --seed " + std::to_string(seed) + " --scale " + std::to_string(scale) + more);
    EXPECT_EQ(made.exit, 0) << made.err;
    EXPECT_EQ(made.err, "");
    return made.out;
}

// The characters each text column holds at most, by table and column.
std::map<std::pair<std::string, std::string>, std::size_t> textLengths(const std::string& path) {
    std::map<std::pair<std::string, std::string>, std::size_t> out;
    std::unique_ptr<jet::Database> db;
    EXPECT_TRUE(jet::Database::open(path, jet::OpenMode::ReadOnly, &db).ok()) << path;
    for (const schema::TableInfo& info : schema::tables()) {
        std::unique_ptr<jet::Table> table;
        if (!db || !db->openTable(info.name, &table).ok()) continue;
        for (const jet::Column& column : table->columns())
            if (column.type == jet::ColumnType::Text) out[{std::string(info.name), column.name}] = column.length / 2;
    }
    return out;
}

std::vector<std::u16string> textsOf(const Table& table, std::string_view column) {
    std::vector<std::u16string> out;
    for (const Value& v : table.column(column))
        if (auto* text = std::get_if<std::u16string>(&v)) out.push_back(*text);
    return out;
}

} // namespace

// Every table grows with the scale, every drawn row is written (nothing is
// refused by the unique indexes), and the tables of identifiers per device
// carry most of the rows.
TEST(Generate, RowMixGrowsWithTheScaleAndEveryRowIsWritten) {
    test_files::ScratchDir dir;
    std::string small = generate(dir.file("1.mdb"), 7, 1), large = generate(dir.file("2.mdb"), 7, 2);
    auto one = readAll(dir.file("1.mdb")), two = readAll(dir.file("2.mdb"));
    std::size_t total = 0, perDevice = 0;
    for (const auto& [name, table] : one) {
        EXPECT_GT(table.rows.size(), 0u) << name;
        EXPECT_EQ(two.at(name).rows.size(), 2 * table.rows.size()) << name;
        total += table.rows.size();
        bool identifiersPerDevice = merge::fieldIndex(table.fields, "identifikator") >= 0 &&
                                    merge::fieldIndex(table.fields, "id_zariadenia") >= 0;
        if (identifiersPerDevice) perDevice += table.rows.size();
    }
    EXPECT_EQ(small, "rows=" + std::to_string(total) + "\n");
    EXPECT_EQ(large, "rows=" + std::to_string(2 * total) + "\n");
    EXPECT_LE(total, 4000u); // small enough for the tests that merge it
    EXPECT_GT(perDevice * 3, total * 2);
    std::size_t biggest = 0;
    for (const auto& [name, table] : one) biggest = std::max(biggest, table.rows.size());
    EXPECT_EQ(one.at("downloadovane_identifikatory").rows.size(), biggest);
    EXPECT_EQ(cli("check " + dir.file("2.mdb")).exit, 0);
}

// Text columns hold what a server keeps there, never longer than the column
// allows; the identifiers' notes range from nothing to several KB.
TEST(Generate, TextsAsLongAsAServersWithinTheirColumns) {
    test_files::ScratchDir dir;
    generate(dir.file("g.mdb"), 4, 1);
    auto tables = readAll(dir.file("g.mdb"));
    for (const auto& [column, maxChars] : textLengths(dir.file("g.mdb")))
        for (const std::u16string& text : textsOf(tables.at(column.first), column.second)) {
            EXPECT_LE(text.size(), maxChars) << column.first << "." << column.second;
            EXPECT_FALSE(text.empty()) << column.first << "." << column.second;
        }

    const Table& owners = tables.at("identifikatory");
    std::size_t empty = 0, lines = 0, kilobytes = 0;
    for (const std::u16string& notes : textsOf(owners, "poznamky")) {
        empty += notes.empty();
        lines += !notes.empty() && notes.size() < 1000;
        kilobytes += notes.size() >= 1500 && notes.size() <= 10000;
    }
    const std::size_t rows = owners.rows.size();
    EXPECT_GT(empty, rows / 5);
    EXPECT_GT(lines, rows / 4);
    EXPECT_GT(kilobytes, rows / 10);
}
