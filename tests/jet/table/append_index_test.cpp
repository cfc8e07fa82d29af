// Index trees grown by appends: several levels deep, keys arriving in order
// and shuffled, long and duplicate keys, more pages than a writer keeps
// decoded; the checker walks every tree and compares every entry with its
// row's key.
#include "support/database.h"

#include <algorithm>
#include <random>

#include "jet/index/index_walk.h"

using namespace test_db;

namespace {

std::u16string u(const std::string& utf8) { return fromUtf8(utf8); }

// Depth and pages of the largest index tree of the table.
std::pair<std::uint32_t, std::size_t> largestIndex(const fs::path& file, const std::string& name) {
    std::unique_ptr<Database> db;
    EXPECT_TRUE(Database::open(file.string(), Pager::Mode::ReadOnly, &db).ok());
    auto t = openTable(*db, name);
    std::pair<std::uint32_t, std::size_t> largest;
    for (const RealIndexDef& ix : impl(*t).def().realIndexes) {
        IndexWalk walk;
        Status s = walkIndex([&](std::uint32_t p, PageRef* out) { return impl(*db).pager().read(p, out); },
                             ix.firstPage, impl(*t).def().firstPage, &walk);
        EXPECT_TRUE(s.ok()) << s.message();
        largest = std::max(largest, std::make_pair(walk.depth, walk.pages.size()));
    }
    return largest;
}

CheckReport expectClean(const fs::path& file, std::uint64_t rows) {
    const CheckReport r = expectCleanCheck(file);
    EXPECT_EQ(r.keysNotCompared, 0u);
    EXPECT_GE(r.rows, rows);
    EXPECT_TRUE(std::none_of(r.notes.begin(), r.notes.end(), [](const std::string& n) {
        return n.find("rôznych kľúčov") != std::string::npos;
    })) << "distinct-key statistics kept";
    return r;
}

} // namespace

// Identifiers in shuffled order with Slovak keys, Null names and memos; the
// owner names are long (some 30 entries a page), so the name index grows
// past a thousand pages, more than a writer keeps decoded, while another
// table takes a row now and then.
TEST(AppendIndex, ShuffledIdentifiersGrowTreesLargerThanTheDecodedPagesWhileTablesTakeTurns) {
    constexpr int kRows = 36000;
    Scratch file(blank());
    std::vector<int> order(kRows);
    for (int i = 0; i < kRows; ++i) order[i] = i;
    std::shuffle(order.begin(), order.end(), std::mt19937(7));
    std::mt19937 random(11);
    const char* names[] = {"Novák Ján ", "Šťastná Ľudmila ", "Čierny Ďuro ", "Žltý Ňuňo ", "Ábel Ôsmy ", ""};
    {
        auto db = openWritable(file.path());
        auto t = openTable(*db, "identifikatory");
        auto devices = openTable(*db, "zariadenia");
        const std::size_t id = columnAt(*t, "identifikator"), name = columnAt(*t, "meno_majitela"),
                          memo = columnAt(*t, "poznamky");
        ASSERT_TRUE(db->begin().ok());
        std::vector<Value> row(t->columns().size());
        for (int n : order) {
            std::fill(row.begin(), row.end(), Value());
            for (std::size_t c = 0; c < row.size(); ++c)
                if (t->columns()[c].type == ColumnType::Bool) row[c] = (n & 1) != 0;
            row[id] = u("Č-" + std::to_string(n));
            std::u16string owner = u(names[n % 6]);
            while (owner.size() < 100) owner += static_cast<char16_t>(u'a' + random() % 26);
            row[name] = n % 7 == 6 ? Value() : Value(owner);
            if (n % 1000 == 0) row[memo] = std::u16string(3000 + n / 100, u'ž');
            Status s = t->append(&row);
            ASSERT_TRUE(s.ok()) << n << ": " << s.message();
            if (n % 3000 == 0) {
                std::vector<Value> device(devices->columns().size());
                device[columnAt(*devices, "id_zariadenia")] = std::int64_t{n};
                ASSERT_TRUE(devices->append(&device).ok());
            }
        }
        ASSERT_TRUE(db->commit().ok());
    }
    const auto [depth, pages] = largestIndex(file.path(), "identifikatory");
    EXPECT_GE(depth, 3u);
    EXPECT_GT(pages, 1100u);
    for (const IndexSummary& ix : expectClean(file.path(), kRows).indexSummaries)
        if (ix.table == "identifikatory") EXPECT_EQ(ix.entries, std::uint64_t{kRows}) << ix.index;
}

TEST(AppendIndex, HundredThousandDownloadedIdentifiersInKeyOrder) {
    constexpr int kRows = 100000;
    Scratch file(blank());
    {
        auto db = openWritable(file.path());
        auto t = openTable(*db, "downloadovane_identifikatory");
        ASSERT_TRUE(db->begin().ok());
        std::vector<Value> row(4);
        for (int i = 0; i < kRows; ++i) {
            row[0] = std::int64_t{i};
            row[1] = std::int64_t{i / 20000};
            row[2] = u("ID" + std::to_string(100000 + i % 20000));
            row[3] = i % 3 ? Value(u("0000")) : Value();
            Status s = t->append(&row);
            ASSERT_TRUE(s.ok()) << i << ": " << s.message();
        }
        // The same keys again are all refused: while their entries still
        // wait to go into the tree, and once they are in it.
        auto sameKeysRefused = [&] {
            for (int i = 0; i < kRows; i += 997) {
                row[1] = std::int64_t{i / 20000};
                row[2] = u("id" + std::to_string(100000 + i % 20000));
                EXPECT_EQ(t->append(&row).code(), Status::Code::Refused) << i;
            }
        };
        sameKeysRefused();
        ASSERT_TRUE(db->commit().ok());
        ASSERT_TRUE(db->begin().ok());
        sameKeysRefused();
        ASSERT_TRUE(db->commit().ok());
    }
    const auto [depth, fullPages] = largestIndex(file.path(), "downloadovane_identifikatory");
    EXPECT_GE(depth, 3u);
    // Keys among those of the full leaves that keys in order left: a leaf
    // split for them stays at least half full.
    constexpr int kBetween = 5000;
    {
        auto db = openWritable(file.path());
        auto t = openTable(*db, "downloadovane_identifikatory");
        ASSERT_TRUE(db->begin().ok());
        std::vector<Value> row(4);
        for (int i = 0; i < kRows; i += kRows / kBetween) {
            row[1] = std::int64_t{i / 20000};
            row[2] = u("ID" + std::to_string(100000 + i % 20000) + "-");
            ASSERT_TRUE(t->append(&row).ok()) << i;
        }
        ASSERT_TRUE(db->commit().ok());
    }
    EXPECT_LT(largestIndex(file.path(), "downloadovane_identifikatory").second, 2 * fullPages + fullPages / 4);
    expectClean(file.path(), kRows + kBetween);
    if (!haveMdbExport()) GTEST_SKIP() << "mdb-export is not installed";
    EXPECT_EQ(mdbExport(file.path(), "downloadovane_identifikatory").size(), std::size_t{kRows + kBetween});
}
