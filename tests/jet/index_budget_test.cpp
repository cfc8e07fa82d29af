// Index trees with more pages than a writer keeps decoded, and writers
// letting go of their pages when rows move on to another table: every
// entry still reaches the file, in order, and the file checks clean.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "jet/check.h"
#include "jet/database.h"

namespace {

namespace fs = std::filesystem;
using namespace jet;

std::size_t at(const Table& table, std::string_view column) {
    return static_cast<std::size_t>(table.def().column(column) - table.def().columns.data());
}

TEST(IndexBudget, TreesLargerThanTheDecodedPagesAndTablesTakingTurns) {
    const fs::path dir = fs::temp_directory_path() / ("velmorant-index-budget-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path file = dir / "db.mdb";
    fs::copy_file(fs::path(VELMORANT_TEST_DATA) / "blank.mdb", file, fs::copy_options::overwrite_existing);
    {
        std::unique_ptr<Database> db;
        ASSERT_TRUE(Database::open(file.string(), Pager::Mode::Exclusive, &db).isOk());
        std::unique_ptr<Table> people, devices;
        ASSERT_TRUE(db->openTable("identifikatory", &people).isOk());
        ASSERT_TRUE(db->openTable("zariadenia", &devices).isOk());
        ASSERT_TRUE(db->begin().isOk());
        // Owner names of 100 letters in random order: some 30 entries a
        // page, so the name index grows past a thousand pages.
        std::mt19937 random(11);
        constexpr int kRows = 36000;
        for (int i = 0; i < kRows; ++i) {
            std::vector<Value> row(people->def().columns.size());
            std::u16string name(100, u'a');
            for (char16_t& c : name) c = static_cast<char16_t>(u'a' + random() % 26);
            const std::string digits = std::to_string(i);
            row[at(*people, "identifikator")] = u"I" + std::u16string(digits.begin(), digits.end());
            row[at(*people, "meno_majitela")] = name;
            Status s = people->append(&row);
            ASSERT_TRUE(s.isOk()) << s.message();
            if (i % 3000 == 0) { // another table takes a row now and then
                std::vector<Value> device(devices->def().columns.size());
                device[at(*devices, "id_zariadenia")] = std::int64_t{i};
                ASSERT_TRUE(devices->append(&device).isOk());
            }
        }
        ASSERT_TRUE(db->commit().isOk());
    }
    CheckReport report;
    ASSERT_TRUE(checkFile(file.string(), &report).isOk());
    EXPECT_TRUE(report.ok()) << report.problems.front();
    bool seen = false;
    for (const IndexSummary& ix : report.indexSummaries) {
        if (ix.table != "identifikatory") continue;
        EXPECT_EQ(ix.entries, 36000u) << ix.index;
        EXPECT_EQ(ix.keysNotCompared, 0u) << ix.index;
        seen = true;
    }
    EXPECT_TRUE(seen);
    fs::remove_all(dir);
}

} // namespace
