// Inserting into index trees kept in memory: after every batch the tree is
// walked with all its structural checks and must hold exactly the entries
// inserted, in order, whatever the insertion order and key sizes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>
#include <set>

#include "jet/check.h"
#include "jet/database.h"
#include "jet/index_insert.h"
#include "jet/index_page.h"
#include "jet/index_walk.h"

using namespace jet;

namespace {

constexpr std::uint32_t kOwner = 24;
constexpr std::uint32_t kRoot = 30;

class MemoryStore : public IndexPageStore {
public:
    MemoryStore() {
        IndexPage empty;
        empty.owner = kOwner;
        Page p;
        EXPECT_TRUE(buildIndexPage(empty, &p).isOk());
        pages_[kRoot] = p;
    }
    Status read(std::uint32_t pgno, PageRef* out) override {
        auto it = pages_.find(pgno);
        if (it == pages_.end()) return Status::error(Status::Code::Corrupt, "no page " + std::to_string(pgno));
        *out = std::make_shared<Page>(it->second);
        return Status::ok();
    }
    Status write(std::uint32_t pgno, const Page& page) override {
        if (!pages_.count(pgno)) return Status::error(Status::Code::InvalidArgument, "write to a missing page");
        ++writes;
        pages_[pgno] = page;
        return Status::ok();
    }
    Status allocate(const Page& content, std::uint32_t* pgno) override {
        *pgno = next_++;
        pages_[*pgno] = content;
        return Status::ok();
    }
    IndexWalk walk() {
        IndexWalk w;
        Status s = walkIndex([this](std::uint32_t n, PageRef* out) { return read(n, out); }, kRoot, kOwner, &w);
        EXPECT_TRUE(s.isOk()) << s.message();
        return w;
    }
    std::map<std::uint32_t, Page>& pages() { return pages_; }
    int writes = 0;

private:
    std::map<std::uint32_t, Page> pages_;
    std::uint32_t next_ = 100;
};

Bytes longKey(std::uint32_t v) {
    return {0x7F, static_cast<std::uint8_t>((v >> 24) ^ 0x80), static_cast<std::uint8_t>(v >> 16),
            static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
}

// A text-like key of varying length sharing long prefixes with its neighbours.
Bytes textKey(std::uint32_t v, std::size_t length) {
    Bytes k = {0x7F};
    for (std::size_t i = 0; i < length; ++i) k.push_back(static_cast<std::uint8_t>(0x40 + (i < 4 ? (v >> (4 * i)) & 15 : 3)));
    k.push_back(0x01);
    k.push_back(0x00);
    return k;
}

RowPointer rowOf(std::uint32_t i) { return {1000 + i / 100, static_cast<std::uint8_t>(i % 100)}; }

// Inserts every key and checks the tree against the expected entry set.
void insertAll(MemoryStore& store, const std::vector<Bytes>& keys, std::size_t checkEvery) {
    std::set<Bytes> expected;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const RowPointer row = rowOf(static_cast<std::uint32_t>(i));
        Status s = insertIndexEntry(store, kRoot, kOwner, keys[i], row, false);
        ASSERT_TRUE(s.isOk()) << i << ": " << s.message();
        expected.insert(makeLeafEntry(keys[i], row));
        if ((i + 1) % checkEvery == 0 || i + 1 == keys.size()) {
            const IndexWalk w = store.walk();
            ASSERT_EQ(w.entries.size(), expected.size()) << "after " << i + 1;
            auto it = expected.begin();
            for (const LeafEntry& e : w.entries) ASSERT_EQ(makeLeafEntry(e.key, e.row), *it++) << "after " << i + 1;
        }
    }
}

} // namespace

TEST(IndexInsert, IncreasingKeysFillPagesDensely) {
    MemoryStore store;
    std::vector<Bytes> keys;
    for (std::uint32_t i = 0; i < 5000; ++i) keys.push_back(longKey(i));
    insertAll(store, keys, 500);
    const IndexWalk w = store.walk();
    EXPECT_GE(w.depth, 2u);
    // 9-byte entries, 401 to a page: appends leave the pages nearly full.
    EXPECT_LE(w.leaves, 5000u / 390 + 1);
    // The root kept its page number and became an intermediate page.
    EXPECT_EQ(store.pages()[kRoot].bytes[0], kIndexNodePage);
}

TEST(IndexInsert, RandomAndDecreasingOrders) {
    std::vector<Bytes> keys;
    for (std::uint32_t i = 0; i < 3000; ++i) keys.push_back(longKey(i * 7919 % 100003));
    std::mt19937 rng(7);
    std::shuffle(keys.begin(), keys.end(), rng);
    MemoryStore random;
    insertAll(random, keys, 250);

    std::sort(keys.rbegin(), keys.rend());
    MemoryStore decreasing;
    insertAll(decreasing, keys, 250);
}

TEST(IndexInsert, LongKeysOfVaryingSizeThreeLevels) {
    std::vector<Bytes> keys;
    std::mt19937 rng(11);
    for (std::uint32_t i = 0; i < 1500; ++i) keys.push_back(textKey(rng() % 4096, 20 + rng() % 700));
    MemoryStore store;
    insertAll(store, keys, 100);
    EXPECT_GE(store.walk().depth, 3u);
}

TEST(IndexInsert, EqualKeysOrderByRow) {
    MemoryStore store;
    std::vector<Bytes> keys(900, longKey(42));
    for (int i = 0; i < 300; ++i) keys[static_cast<std::size_t>(i) * 3] = longKey(static_cast<std::uint32_t>(i));
    insertAll(store, keys, 300);
}

TEST(IndexInsert, UniqueKeysRefusedWithoutWriting) {
    MemoryStore store;
    std::vector<Bytes> keys;
    for (std::uint32_t i = 0; i < 1000; ++i) keys.push_back(longKey(i * 2));
    insertAll(store, keys, 1000);
    const int writes = store.writes;
    const std::size_t pages = store.pages().size();
    for (std::uint32_t v : {0u, 400u, 1998u}) {
        EXPECT_EQ(insertIndexEntry(store, kRoot, kOwner, longKey(v), {5000, 1}, true).code(), Status::Code::Refused);
        bool found = false;
        ASSERT_TRUE(indexHasKey(store, kRoot, longKey(v), &found).isOk());
        EXPECT_TRUE(found) << v;
    }
    EXPECT_EQ(store.writes, writes);
    EXPECT_EQ(store.pages().size(), pages);

    bool found = true;
    ASSERT_TRUE(indexHasKey(store, kRoot, longKey(401), &found).isOk());
    EXPECT_FALSE(found);
    bool newKey = false;
    ASSERT_TRUE(insertIndexEntry(store, kRoot, kOwner, longKey(401), {5000, 1}, true, &newKey).isOk());
    EXPECT_TRUE(newKey);
    ASSERT_TRUE(insertIndexEntry(store, kRoot, kOwner, longKey(401), {5000, 2}, false, &newKey).isOk());
    EXPECT_FALSE(newKey);
    // The same row twice is a caller's mistake.
    EXPECT_EQ(insertIndexEntry(store, kRoot, kOwner, longKey(401), {5000, 2}, false).code(),
              Status::Code::InvalidArgument);
    store.walk();
}

TEST(IndexInsert, RefusesOversizedKeysAndDamagedTrees) {
    MemoryStore store;
    EXPECT_EQ(insertIndexEntry(store, kRoot, kOwner, Bytes(2000, 0x41), {5, 0}, false).code(), Status::Code::TooLarge);

    IndexPage loop; // an intermediate page whose only child is itself
    loop.type = kIndexNodePage;
    loop.owner = kOwner;
    loop.tail = kRoot;
    ASSERT_TRUE(buildIndexPage(loop, &store.pages()[kRoot]).isOk());
    EXPECT_EQ(insertIndexEntry(store, kRoot, kOwner, longKey(1), {5, 0}, false).code(), Status::Code::Corrupt);

    loop.tail = 0; // no child at all
    ASSERT_TRUE(buildIndexPage(loop, &store.pages()[kRoot]).isOk());
    EXPECT_EQ(insertIndexEntry(store, kRoot, kOwner, longKey(1), {5, 0}, false).code(), Status::Code::Corrupt);

    IndexPage foreign; // a leaf of another table
    foreign.owner = kOwner + 1;
    ASSERT_TRUE(buildIndexPage(foreign, &store.pages()[kRoot]).isOk());
    EXPECT_EQ(insertIndexEntry(store, kRoot, kOwner, longKey(1), {5, 0}, false).code(), Status::Code::Corrupt);
}

// Into a real index of a copy of the fixture, inside a transaction.
TEST(IndexInsert, IntoARealIndexOfAFile) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("velmorant-insert-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path file = dir / "db.mdb";
    fs::copy_file(fs::path(VELMORANT_TEST_DATA) / "sample.mdb", file, fs::copy_options::overwrite_existing);

    std::unique_ptr<Database> db;
    ASSERT_TRUE(Database::open(file, Pager::Mode::Exclusive, &db).isOk());
    std::unique_ptr<Table> t;
    ASSERT_TRUE(db->openTable("identifikatory", &t).isOk());
    const RealIndexDef index = t->def().realIndexes.back();
    const std::uint32_t owner = t->def().firstPage;
    auto walk = [&](IndexWalk* w) {
        Pager& p = db->pager();
        return walkIndex([&p](std::uint32_t n, PageRef* out) { return p.read(n, out); }, index.firstPage, owner, w);
    };
    IndexWalk before;
    ASSERT_TRUE(walk(&before).isOk());

    PagerIndexStore store(db->pager(), index.usageMap);
    ASSERT_TRUE(db->pager().begin().isOk());
    std::set<Bytes> expected;
    for (const LeafEntry& e : before.entries) expected.insert(makeLeafEntry(e.key, e.row));
    std::mt19937 rng(5);
    for (std::uint32_t i = 0; i < 2000; ++i) {
        const Bytes key = textKey(rng() % 4096, 5 + rng() % 40);
        const RowPointer row{0x7000 + i / 200, static_cast<std::uint8_t>(i % 200)};
        Status s = insertIndexEntry(store, index.firstPage, owner, key, row, false);
        ASSERT_TRUE(s.isOk()) << s.message();
        expected.insert(makeLeafEntry(key, row));
    }
    ASSERT_TRUE(db->pager().commit().isOk());
    db.reset();

    ASSERT_TRUE(Database::open(file, Pager::Mode::ReadOnly, &db).isOk());
    IndexWalk after;
    Status s = walk(&after);
    ASSERT_TRUE(s.isOk()) << s.message();
    ASSERT_EQ(after.entries.size(), expected.size());
    auto it = expected.begin();
    for (const LeafEntry& e : after.entries) EXPECT_EQ(makeLeafEntry(e.key, e.row), *it++);
    EXPECT_GT(after.pages.size(), before.pages.size());

    // Apart from the invented rows, the file still checks clean: the new
    // pages are in the index's map and in use in the global map.
    CheckReport r;
    db.reset();
    ASSERT_TRUE(checkFile(file, &r).isOk());
    for (const std::string& p : r.problems)
        EXPECT_TRUE(p.find("ktorý v tabuľke nie je") != std::string::npos || p.find("ďalšie chyby") != std::string::npos)
            << p;
    fs::remove_all(dir);
}
