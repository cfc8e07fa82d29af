// Index trees with more pages than a writer keeps decoded, and writers
// letting go of their pages when rows move on to another table: every
// entry still reaches the file, in order, and the file checks clean.
#include "support/database.h"

#include <random>

namespace {

using namespace test_db;

TEST(IndexBudget, TreesLargerThanTheDecodedPagesAndTablesTakingTurns) {
    Scratch file(blank());
    {
        auto db = openWritable(file.path());
        auto people = openTable(*db, "identifikatory");
        auto devices = openTable(*db, "zariadenia");
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
            row[columnAt(*people, "identifikator")] = u"I" + std::u16string(digits.begin(), digits.end());
            row[columnAt(*people, "meno_majitela")] = name;
            Status s = people->append(&row);
            ASSERT_TRUE(s.isOk()) << s.message();
            if (i % 3000 == 0) { // another table takes a row now and then
                std::vector<Value> device(devices->def().columns.size());
                device[columnAt(*devices, "id_zariadenia")] = std::int64_t{i};
                ASSERT_TRUE(devices->append(&device).isOk());
            }
        }
        ASSERT_TRUE(db->commit().isOk());
    }
    const CheckReport report = expectCleanCheck(file.path());
    bool seen = false;
    for (const IndexSummary& ix : report.indexSummaries) {
        if (ix.table != "identifikatory") continue;
        EXPECT_EQ(ix.entries, 36000u) << ix.index;
        EXPECT_EQ(ix.keysNotCompared, 0u) << ix.index;
        seen = true;
    }
    EXPECT_TRUE(seen);
}

} // namespace
