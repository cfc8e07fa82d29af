// Index trees grown by appends: several levels deep, keys arriving
// shuffled or in their order, long and duplicate keys, more pages than a
// writer keeps decoded; the checker walks every tree and compares every
// entry with its row's key.
#include "support/database.h"

#include <algorithm>
#include <fstream>
#include <numeric>
#include <random>

#include "jet/index/index_walk.h"

using namespace test_db;

namespace {

// The walk of the largest index tree of the table (its entries left out).
IndexWalk largestIndex(const fs::path& file, const std::string& name) {
    std::unique_ptr<Database> db;
    EXPECT_TRUE(Database::open(file.string(), Pager::Mode::ReadOnly, &db).ok());
    auto t = openTable(*db, name);
    IndexWalk largest;
    for (const RealIndexDef& ix : impl(*t).def().realIndexes) {
        IndexWalk walk;
        Status s = walkIndex([&](std::uint32_t p, PageRef* out) { return impl(*db).pager().read(p, out); },
                             ix.firstPage, impl(*t).def().firstPage, [](auto&&...) {}, &walk);
        EXPECT_TRUE(s.ok()) << s.message();
        if (walk.pages.size() > largest.pages.size()) largest = std::move(walk);
    }
    return largest;
}

// Appends a row to the identifiers table with only its key and yes/no
// fields set.
Status::Code appendIdentifier(Table& t, const std::string& key) {
    std::vector<Value> row(t.columns().size());
    for (std::size_t c = 0; c < row.size(); ++c)
        if (t.columns()[c].type == ColumnType::Bool) row[c] = false;
    row[columnAt(t, "identifikator")] = u(key);
    return t.append(&row).code();
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
    std::iota(order.begin(), order.end(), 0);
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
        for (int n : {0, 17, kRows - 1}) {
            row[id] = u("č-" + std::to_string(n));
            EXPECT_EQ(t->append(&row).code(), Status::Code::Refused) << "a key taken, in another letter case";
        }
        ASSERT_TRUE(db->commit().ok());
    }
    {
        // A fresh writer holds no leaf decoded: every key is looked for
        // where it is stored, first entries of leaves and shared prefixes
        // included.
        auto db = openWritable(file.path());
        auto t = openTable(*db, "identifikatory");
        const std::size_t id = columnAt(*t, "identifikator");
        ASSERT_TRUE(db->begin().ok());
        std::vector<Value> row(t->columns().size());
        for (std::size_t c = 0; c < row.size(); ++c)
            if (t->columns()[c].type == ColumnType::Bool) row[c] = false;
        for (int n = 0; n < kRows; ++n) {
            row[id] = u("č-" + std::to_string(n));
            ASSERT_EQ(t->append(&row).code(), Status::Code::Refused) << n;
            if (n % 101 != 0) continue;
            row[id] = u("Č-" + std::to_string(n) + "-");
            ASSERT_TRUE(t->append(&row).ok()) << n;
        }
        ASSERT_TRUE(db->rollback().ok());
    }
    const IndexWalk largest = largestIndex(file.path(), "identifikatory");
    EXPECT_GE(largest.depth, 3u);
    EXPECT_GT(largest.pages.size(), 1100u);
    const CheckReport r = expectCleanCheck(file.path());
    EXPECT_EQ(r.keysNotCompared, 0u);
    for (const std::string& n : r.notes) EXPECT_EQ(n.find("rôznych kľúčov"), std::string::npos) << n;
    for (const IndexSummary& ix : r.indexSummaries)
        if (ix.table == "identifikatory") {
            EXPECT_EQ(ix.entries, std::uint64_t{kRows}) << ix.index;
        }
}

// Long keys appended in their order, some 30 to a page: every page a split
// leaves behind, leaf or intermediate, is full, so each level has barely
// more pages than the one below needs.
TEST(AppendIndex, KeysAppendedInOrderLeaveFullPagesAtEveryLevel) {
    constexpr int kRows = 6000;
    Scratch file(blank());
    {
        auto db = openWritable(file.path());
        auto t = openTable(*db, "identifikatory");
        const std::size_t id = columnAt(*t, "identifikator"), name = columnAt(*t, "meno_majitela");
        ASSERT_TRUE(db->begin().ok());
        std::vector<Value> row(t->columns().size());
        for (std::size_t c = 0; c < row.size(); ++c)
            if (t->columns()[c].type == ColumnType::Bool) row[c] = false;
        for (int n = 0; n < kRows; ++n) {
            const std::string number = std::to_string(100000 + n);
            row[id] = u(number);
            row[name] = u(number + std::string(90, 'a'));
            ASSERT_TRUE(t->append(&row).ok()) << n;
        }
        ASSERT_TRUE(db->commit().ok());
    }
    const IndexWalk names = largestIndex(file.path(), "identifikatory");
    ASSERT_EQ(names.depth, 3u);
    // The pages between the root and the leaves list about as many children
    // as a leaf holds entries (theirs are a little longer); half-full pages
    // would list half as many.
    const double perLeaf = double(kRows) / names.leaves;
    const std::size_t middle = names.pages.size() - names.leaves - 1;
    EXPECT_GT(double(names.leaves) / middle, 0.8 * perLeaf) << middle << " pages above " << names.leaves << " leaves";
}

// A tree whose walk finds it damaged (here only the free space its pages
// state) is still looked up key by key, as a writer always did: new keys
// are taken, taken keys refused.
TEST(AppendIndex, TreeTheWalkRefusesIsStillLookedUpKeyByKey) {
    Scratch file(blank());
    std::vector<std::uint32_t> roots;
    const auto append = appendIdentifier;
    {
        auto db = openWritable(file.path());
        auto t = openTable(*db, "identifikatory");
        ASSERT_TRUE(db->begin().ok());
        for (const char* key : {"A-1", "A-2", "A-3"}) ASSERT_EQ(append(*t, key), Status::Code::Ok);
        ASSERT_TRUE(db->commit().ok());
        for (const RealIndexDef& ix : impl(*t).def().realIndexes) roots.push_back(ix.firstPage);
    }
    {
        std::fstream f(file.path(), std::ios::in | std::ios::out | std::ios::binary);
        for (std::uint32_t root : roots) {
            f.seekp(std::streamoff(root) * kPageSize + index_page::kFreeSpace);
            f.write("\x01\x00", 2);
        }
    }
    auto db = openWritable(file.path());
    auto t = openTable(*db, "identifikatory");
    ASSERT_TRUE(db->begin().ok());
    EXPECT_EQ(append(*t, "A-4"), Status::Code::Ok);
    EXPECT_EQ(append(*t, "A-2"), Status::Code::Refused);
    EXPECT_EQ(append(*t, "A-4"), Status::Code::Refused);
    ASSERT_TRUE(db->rollback().ok());
}

// Keys around the stretches the tree lacks: a stretch runs from a missing
// key to the next entry, whose own key stays taken; a later lookup may start
// another stretch; keys inside one are found among the new entries, also
// once these have gone into the tree (the table left for another), and
// still when more keys came after them than the filter of added keys had
// room for.
TEST(AppendIndex, KeysBesideStretchesTheTreeLacksAreTakenOnlyOnce) {
    Scratch file(blank());
    {
        auto db = openWritable(file.path());
        auto t = openTable(*db, "identifikatory");
        ASSERT_TRUE(db->begin().ok());
        for (const char* key : {"A-1", "A-3", "A-5"}) ASSERT_EQ(appendIdentifier(*t, key), Status::Code::Ok);
        // Enough entries after them that each key is looked up in the tree.
        for (int n = 100; n < 400; ++n) ASSERT_EQ(appendIdentifier(*t, "C-" + std::to_string(n)), Status::Code::Ok);
        ASSERT_TRUE(db->commit().ok());
    }
    auto db = openWritable(file.path());
    auto t = openTable(*db, "identifikatory");
    auto devices = openTable(*db, "zariadenia");
    ASSERT_TRUE(db->begin().ok());
    const std::pair<const char*, Status::Code> asked[] = {
        {"A-6", Status::Code::Ok},      {"A-2", Status::Code::Ok},      {"A-3", Status::Code::Refused},
        {"A-5", Status::Code::Refused}, {"A-4", Status::Code::Ok},      {"a-4", Status::Code::Refused},
        {"A-2", Status::Code::Refused}, {"A-7", Status::Code::Ok},      {"A-6", Status::Code::Refused},
        {"A-1", Status::Code::Refused}, {"A-0", Status::Code::Ok},      {"A-0", Status::Code::Refused}};
    for (const auto& [key, code] : asked) EXPECT_EQ(appendIdentifier(*t, key), code) << key;
    // Keys the tree holds, asked often enough that it is walked for a filter
    // of its keys and the batch's; then more new keys than the filter of
    // added keys has room for, so that a second one begins.
    for (int n = 100; n < 160; ++n) ASSERT_EQ(appendIdentifier(*t, "c-" + std::to_string(n)), Status::Code::Refused);
    for (int n = 1000; n < 2100; ++n) ASSERT_EQ(appendIdentifier(*t, "D-" + std::to_string(n)), Status::Code::Ok);
    EXPECT_EQ(appendIdentifier(*t, "a-2"), Status::Code::Refused);
    // More new keys than the new entries' first filter has room for.
    for (int n = 1000; n < 4000; ++n) ASSERT_EQ(appendIdentifier(*t, "B-" + std::to_string(n)), Status::Code::Ok);
    EXPECT_EQ(appendIdentifier(*t, "b-1000"), Status::Code::Refused);
    std::vector<Value> device(devices->columns().size());
    device[columnAt(*devices, "id_zariadenia")] = std::int64_t{1};
    ASSERT_TRUE(devices->append(&device).ok());
    for (const char* key : {"A-7", "A-4", "A-0", "A-6", "C-399", "b-3999"})
        EXPECT_EQ(appendIdentifier(*t, key), Status::Code::Refused) << key;
    EXPECT_EQ(appendIdentifier(*t, "A-8"), Status::Code::Ok);
    for (int n = 5000; n < 10000; ++n) ASSERT_EQ(appendIdentifier(*t, "B-" + std::to_string(n)), Status::Code::Ok);
    for (const char* key : {"A-8", "b-1500", "B-3999", "b-5000", "B-9999"})
        EXPECT_EQ(appendIdentifier(*t, key), Status::Code::Refused) << key;
    ASSERT_TRUE(db->rollback().ok());
}
