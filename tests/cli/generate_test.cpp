// velmorant-cli generate: the row mix of a server's file, every drawn row
// written, texts within their columns, the same bytes for the same seed and scale.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "jet/database.h"
#include "jet/table.h"
#include "support/process.h"

namespace {

struct Table {
    std::vector<jet::Column> columns;
    std::vector<std::vector<jet::Value>> rows;
};

std::map<std::string, Table> readAll(const std::string& path) {
    std::map<std::string, Table> out;
    std::unique_ptr<jet::Database> db;
    EXPECT_TRUE(jet::Database::open(path, jet::OpenMode::ReadOnly, &db).ok()) << path;
    for (const std::string& name : db ? db->userTables() : std::vector<std::string>{}) {
        std::unique_ptr<jet::Table> table;
        if (!db->openTable(name, &table).ok()) continue;
        Table& t = out[name];
        t.columns = table->columns();
        jet::Table::Cursor cursor(*table);
        for (bool more; cursor.next(&more).ok() && more;) t.rows.push_back(cursor.row());
    }
    return out;
}

std::string generate(const std::string& out, int scale) {
    const test_files::ProgramRun made =
        test_files::cli("generate " + test_files::quoted(out) + " --seed 7 --scale " + std::to_string(scale));
    EXPECT_EQ(made.exit, 0) << made.err;
    EXPECT_EQ(made.err, "");
    return made.out;
}

} // namespace

// Every table grows with the scale and every drawn row is written (nothing is
// refused by the unique indexes); the identifiers per device carry most rows.
TEST(Generate, RowMixTextsWithinTheirColumnsAndTheSameBytesForTheSameSeed) {
    test_files::ScratchDir dir;
    const std::string small = generate(dir.file("1.mdb"), 1), large = generate(dir.file("2.mdb"), 2);
    EXPECT_EQ(small, generate(dir.file("1b.mdb"), 1));
    EXPECT_EQ(test_files::readAll(dir.file("1.mdb")), test_files::readAll(dir.file("1b.mdb")));
    EXPECT_EQ(test_files::cli("check " + test_files::quoted(dir.file("2.mdb"))).exit, 0);

    const auto one = readAll(dir.file("1.mdb")), two = readAll(dir.file("2.mdb"));
    std::size_t total = 0, perDevice = 0, notes = 0, empty = 0, lines = 0, kilobytes = 0;
    for (const auto& [name, table] : one) {
        EXPECT_GT(table.rows.size(), 0u) << name;
        EXPECT_EQ(two.at(name).rows.size(), 2 * table.rows.size()) << name;
        total += table.rows.size();
        std::set<std::string> columns;
        for (std::size_t c = 0; c < table.columns.size(); ++c) {
            const jet::Column& column = table.columns[c];
            columns.insert(column.name);
            for (const auto& row : table.rows) {
                const auto* text = std::get_if<std::u16string>(&row[c]);
                if (text && column.type == jet::ColumnType::Text) {
                    EXPECT_LE(text->size(), column.length / 2u) << name << "." << column.name;
                }
                if (name != "identifikatory" || column.name != "poznamky") continue;
                const std::size_t size = text ? text->size() : 0;
                ++notes;
                empty += size == 0;
                lines += size > 0 && size < 1000;
                kilobytes += size >= 1500 && size <= 10000;
            }
        }
        if (columns.count("identifikator") && columns.count("id_zariadenia")) perDevice += table.rows.size();
    }
    EXPECT_EQ(small, "rows=" + std::to_string(total) + "\n");
    EXPECT_EQ(large, "rows=" + std::to_string(2 * total) + "\n");
    EXPECT_LE(total, 4000u); // small enough for the tests that merge it
    EXPECT_GT(perDevice * 3, total * 2);
    // The identifiers' notes range from nothing to several KB.
    EXPECT_GT(empty, notes / 5);
    EXPECT_GT(lines, notes / 4);
    EXPECT_GT(kilobytes, notes / 10);
}

// The dense profile: mostly short rows per device (identifiers and time
// zones), devices mostly of the types a merge takes, the same bytes for the
// same seed; an unknown profile is wrong usage.
TEST(Generate, DenseProfileIsShortRowsPerDevice) {
    test_files::ScratchDir dir;
    for (const char* name : {"1.mdb", "1b.mdb"}) {
        const test_files::ProgramRun made =
            test_files::cli("generate " + test_files::quoted(dir.file(name)) + " --seed 7 --scale 1 --profile dense");
        EXPECT_EQ(made.exit, 0) << made.err;
    }
    EXPECT_EQ(test_files::readAll(dir.file("1.mdb")), test_files::readAll(dir.file("1b.mdb")));
    const auto tables = readAll(dir.file("1.mdb"));
    std::size_t total = 0, perDevice = 0, devices = 0, leftOut = 0;
    for (const auto& [name, table] : tables) {
        total += table.rows.size();
        bool byDevice = false;
        for (const jet::Column& c : table.columns) byDevice = byDevice || c.name == "id_zariadenia";
        if (byDevice && name != "zariadenia") perDevice += table.rows.size();
    }
    const Table& zariadenia = tables.at("zariadenia");
    for (std::size_t c = 0; c < zariadenia.columns.size(); ++c)
        if (zariadenia.columns[c].name == "typ_zariadenia")
            for (const auto& row : zariadenia.rows) {
                const auto* type = std::get_if<std::int64_t>(&row[c]);
                ++devices;
                leftOut += !type || *type == 0 || *type == 10 || *type == 12;
            }
    EXPECT_GT(total, 7000u);
    EXPECT_GT(perDevice * 10, total * 9);
    EXPECT_EQ(devices, 20u);
    EXPECT_LE(leftOut, 6u); // each left-out type once, then a tenth of the draws at most
    EXPECT_EQ(
        test_files::cli("generate " + test_files::quoted(dir.file("2.mdb")) + " --seed 7 --scale 1 --profile x").exit,
        2);
}
