// velmorant-cli generate: the row mix of the dense profile and the same bytes
// for the same seed. The default profile's rows are pinned by the merge of two
// generated files in the whole-merge tests.
#include <gtest/gtest.h>

#include <map>

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

} // namespace

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
