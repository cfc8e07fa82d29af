// Entries added straight to an index tree of a database copy: after every
// batch the tree is written back and walked with all its structural checks,
// and must hold exactly the entries added, in order, whatever the order and
// sizes of the keys. Damaged trees are refused, never followed forever.
#include "support/database.h"

#include <algorithm>
#include <random>
#include <set>

#include "jet/index/index_page.h"
#include "jet/index/index_tree.h"
#include "jet/index/index_walk.h"

using namespace test_db;

namespace {

Bytes intKey(std::uint32_t v) {
    return {0x7F, static_cast<std::uint8_t>((v >> 24) ^ 0x80), static_cast<std::uint8_t>(v >> 16),
            static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
}

// A text-like key of varying length sharing long prefixes with its neighbours.
Bytes textKey(std::uint32_t v, std::size_t length) {
    Bytes k = {0x7F};
    for (std::size_t i = 0; i < length; ++i)
        k.push_back(static_cast<std::uint8_t>(0x40 + (i < 4 ? (v >> (4 * i)) & 15 : 3)));
    k.push_back(0x01);
    k.push_back(0x00);
    return k;
}

RowPointer rowOf(std::uint32_t i) { return {0x7000 + i / 200, static_cast<std::uint8_t>(i % 200)}; }

// One real index of a scratch copy of the blank database, written inside a
// transaction that is never committed.
class TreeFixture : public ::testing::Test {
protected:
    void SetUp() override {
        db_ = openWritable(file_.path());
        ASSERT_TRUE(db_);
        table_ = openTable(*db_, "identifikatory");
        ASSERT_TRUE(table_);
        index_ = impl(*table_).def().realIndexes.back();
        owner_ = impl(*table_).def().firstPage;
        ASSERT_TRUE(impl(*db_).pager().begin().ok());
        tree_ = std::make_unique<IndexTree>(impl(*db_).pager(), owner_, index_.firstPage, index_.usageMap);
        IndexWalk w = walk();
        for (const LeafEntry& e : w.entries) expected_.insert(makeLeafEntry(e.key, e.row));
    }
    void TearDown() override {
        if (db_ && impl(*db_).pager().inTransaction()) {
            EXPECT_TRUE(impl(*db_).pager().rollback().ok());
        }
    }

    IndexWalk walk() {
        IndexWalk w;
        Pager& p = impl(*db_).pager();
        Status s = walkIndex([&p](std::uint32_t n, PageRef* out) { return p.read(n, out); }, index_.firstPage, owner_, &w);
        EXPECT_TRUE(s.ok()) << s.message();
        return w;
    }

    // Adds every key; after each `checkEvery` the written tree must hold
    // exactly the entries added. Returns how many keys were reported new.
    std::size_t insertAll(const std::vector<Bytes>& keys, std::size_t checkEvery) {
        std::size_t newKeys = 0;
        for (std::size_t i = 0; i < keys.size(); ++i) {
            const Bytes entry = makeLeafEntry(keys[i], rowOf(nextRow_++));
            bool isNew = false;
            Status s = tree_->insert(entry, &isNew);
            EXPECT_TRUE(s.ok()) << i << ": " << s.message();
            if (!s.ok()) return newKeys;
            newKeys += isNew;
            expected_.insert(entry);
            if ((i + 1) % checkEvery == 0 || i + 1 == keys.size()) {
                EXPECT_TRUE(tree_->flush().ok());
                const IndexWalk w = walk();
                EXPECT_EQ(w.entries.size(), expected_.size()) << "after " << i + 1;
                if (w.entries.size() != expected_.size()) return newKeys;
                auto it = expected_.begin();
                for (const LeafEntry& e : w.entries) EXPECT_EQ(makeLeafEntry(e.key, e.row), *it++) << "after " << i + 1;
            }
        }
        return newKeys;
    }

    void writeRoot(const IndexPage& page) {
        Page p;
        ASSERT_TRUE(buildIndexPage(page, &p).ok());
        ASSERT_TRUE(impl(*db_).pager().write(index_.firstPage, p).ok());
        tree_ = std::make_unique<IndexTree>(impl(*db_).pager(), owner_, index_.firstPage, index_.usageMap);
    }

    Scratch file_{blank()};
    std::unique_ptr<Database> db_;
    std::unique_ptr<Table> table_;
    RealIndexDef index_;
    std::uint32_t owner_ = 0;
    std::uint32_t nextRow_ = 0;
    std::unique_ptr<IndexTree> tree_;
    std::set<Bytes> expected_;
};

} // namespace

TEST_F(TreeFixture, DecreasingAndRandomOrders) {
    std::vector<Bytes> keys;
    for (std::uint32_t i = 0; i < 3000; ++i) keys.push_back(intKey(i * 7919 % 100003));
    std::sort(keys.rbegin(), keys.rend());
    EXPECT_EQ(insertAll(keys, 250), keys.size());
    std::shuffle(keys.begin(), keys.end(), std::mt19937(7));
    for (Bytes& k : keys) k.back() ^= 1; // new keys between the old ones
    insertAll(keys, 250);
    const IndexWalk w = walk();
    EXPECT_GE(w.depth, 2u);
    // The root kept its page number and became an intermediate page.
    PageRef root;
    ASSERT_TRUE(impl(*db_).pager().read(index_.firstPage, &root).ok());
    EXPECT_EQ(root->bytes[0], kIndexNodePage);
}

// Long keys of varying size, sharing long prefixes, grow three levels.
TEST_F(TreeFixture, LongKeysOfVaryingSize) {
    std::vector<Bytes> keys;
    std::mt19937 rng(11);
    for (std::uint32_t i = 0; i < 1500; ++i) keys.push_back(textKey(rng() % 4096, 20 + rng() % 700));
    insertAll(keys, 100);
    EXPECT_GE(walk().depth, 3u);
}

// Runs of equal keys spread over several leaves: the entries stay ordered
// by row, each key is reported new once, and contains() finds a key whose
// entries start or end on a neighbouring leaf.
TEST_F(TreeFixture, EqualKeysAcrossLeaves) {
    std::vector<Bytes> keys(2400, intKey(42));
    for (std::size_t i = 0; i < 800; ++i) keys[i * 3] = intKey(static_cast<std::uint32_t>(i < 400 ? i : i + 1000));
    EXPECT_EQ(insertAll(keys, 300), 800u);
    EXPECT_GE(walk().leaves, 3u);
    for (std::uint32_t v : {0u, 41u, 42u, 43u, 399u, 1400u, 1799u}) {
        bool found = false;
        ASSERT_TRUE(tree_->contains(intKey(v), &found).ok());
        EXPECT_TRUE(found) << v;
    }
    for (std::uint32_t v : {400u, 999u, 1399u, 1800u}) {
        bool found = true;
        ASSERT_TRUE(tree_->contains(intKey(v), &found).ok());
        EXPECT_FALSE(found) << v;
    }
}

TEST_F(TreeFixture, RefusesOversizedEntriesAndDamagedTrees) {
    bool isNew = false;
    EXPECT_EQ(tree_->insert(makeLeafEntry(Bytes(kMaxIndexEntry, 0x41), {5, 0}), &isNew).code(),
              Status::Code::Refused);

    IndexPage loop; // an intermediate page whose only child is itself
    loop.type = kIndexNodePage;
    loop.owner = owner_;
    loop.tail = index_.firstPage;
    writeRoot(loop);
    EXPECT_EQ(tree_->insert(makeLeafEntry(intKey(1), {5, 0}), &isNew).code(), Status::Code::Corrupt);

    loop.tail = 0; // no child at all
    writeRoot(loop);
    EXPECT_EQ(tree_->insert(makeLeafEntry(intKey(1), {5, 0}), &isNew).code(), Status::Code::Corrupt);

    loop.tail = impl(*db_).pager().pageCount(); // a child past the end of the file
    writeRoot(loop);
    EXPECT_EQ(tree_->insert(makeLeafEntry(intKey(1), {5, 0}), &isNew).code(), Status::Code::Corrupt);

    IndexPage foreign; // a leaf of another table
    foreign.owner = owner_ + 1;
    writeRoot(foreign);
    bool found = false;
    EXPECT_EQ(tree_->contains(intKey(1), &found).code(), Status::Code::Corrupt);
}
