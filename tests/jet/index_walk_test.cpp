// Walking index trees built in memory: key order across leaves and levels,
// the tail child, and damaged trees (loops, wrong links, stale intermediate
// entries, foreign pages) reported instead of followed.
#include <gtest/gtest.h>

#include <map>

#include "jet/index_walk.h"

using namespace jet;

namespace {

constexpr std::uint32_t kOwner = 24;

Bytes entry(std::uint32_t value) {
    const Bytes key = {0x7F, static_cast<std::uint8_t>(0x80 | value >> 24), static_cast<std::uint8_t>(value >> 16),
                       static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
    return makeLeafEntry(key, {100 + value / 10, static_cast<std::uint8_t>(value % 10)});
}

struct Tree {
    std::map<std::uint32_t, IndexPage> pages;

    void leaf(std::uint32_t pgno, std::uint32_t prev, std::uint32_t next, std::uint32_t from, std::uint32_t to) {
        IndexPage p;
        p.owner = kOwner;
        p.prev = prev;
        p.next = next;
        for (std::uint32_t v = from; v < to; ++v) p.entries.push_back(entry(v));
        pages[pgno] = p;
    }
    // Children described by entries, plus an optional tail.
    void node(std::uint32_t pgno, std::vector<std::uint32_t> children, std::uint32_t tail) {
        IndexPage p;
        p.type = kIndexNodePage;
        p.mark = 1;
        p.owner = kOwner;
        p.tail = tail;
        for (auto c : children) p.entries.push_back(makeNodeEntry(lastOf(c), c));
        pages[pgno] = p;
    }
    Bytes lastOf(std::uint32_t pgno) const {
        const IndexPage& p = pages.at(pgno);
        if (p.isLeaf()) return p.entries.back();
        if (p.tail) return lastOf(p.tail);
        const auto e = nodeLeafEntry(p.entries.back());
        return Bytes(e.begin(), e.end());
    }
    PageReader reader() const {
        return [this](std::uint32_t pgno, PageRef* out) {
            auto it = pages.find(pgno);
            if (it == pages.end()) return Status::error(Status::Code::Corrupt, "page " + std::to_string(pgno));
            auto page = std::make_shared<Page>();
            Status s = buildIndexPage(it->second, page.get());
            *out = page;
            return s;
        };
    }
    Status walk(IndexWalk* w, std::uint32_t root = 10) const { return walkIndex(reader(), root, kOwner, w); }
};

// Root 10 over nodes 11 and 12 (tail); leaves 20..23, the last leaf of each node a tail.
Tree threeLevels() {
    Tree t;
    t.leaf(20, 0, 21, 0, 50);
    t.leaf(21, 20, 22, 50, 100);
    t.leaf(22, 21, 23, 100, 150);
    t.leaf(23, 22, 0, 150, 160);
    t.node(11, {20}, 21);
    t.node(12, {22}, 23);
    t.node(10, {11}, 12);
    return t;
}

std::string walkError(const Tree& t) {
    IndexWalk w;
    Status s = t.walk(&w);
    EXPECT_EQ(s.code(), Status::Code::Corrupt);
    return s.message();
}

} // namespace

TEST(IndexWalk, SingleLeafAndEmptyRoot) {
    Tree t;
    t.leaf(10, 0, 0, 0, 4);
    IndexWalk w;
    ASSERT_TRUE(t.walk(&w).isOk());
    ASSERT_EQ(w.entries.size(), 4u);
    EXPECT_EQ(w.depth, 1u);
    EXPECT_EQ(w.entries[3].row, (RowPointer{100, 3}));
    EXPECT_EQ(w.entries[3].leafPage, 10u);

    t.leaf(10, 0, 0, 0, 0);
    ASSERT_TRUE(t.walk(&w).isOk());
    EXPECT_TRUE(w.entries.empty());
}

TEST(IndexWalk, ThreeLevelsInKeyOrder) {
    IndexWalk w;
    Status s = threeLevels().walk(&w);
    ASSERT_TRUE(s.isOk()) << s.message();
    EXPECT_EQ(w.entries.size(), 160u);
    EXPECT_EQ(w.pages, (std::vector<std::uint32_t>{10, 11, 20, 21, 12, 22, 23}));
    EXPECT_EQ(w.leaves, 4u);
    EXPECT_EQ(w.depth, 3u);
    for (std::uint32_t i = 0; i < 160; ++i) EXPECT_EQ(w.entries[i].row, (RowPointer{100 + i / 10, static_cast<std::uint8_t>(i % 10)}));
}

TEST(IndexWalk, DamagedLinksAndEntries) {
    Tree t = threeLevels();
    t.pages[22].prev = 20;
    EXPECT_NE(walkError(t).find("22"), std::string::npos);

    t = threeLevels();
    t.pages[23].next = 20;
    walkError(t);

    t = threeLevels();
    t.pages[11].entries[0] = makeNodeEntry(entry(48), 20); // stale copy of leaf 20's last entry
    EXPECT_NE(walkError(t).find("11"), std::string::npos);

    t = threeLevels();
    t.pages[21].entries[3] = entry(10); // out of order
    walkError(t);

    t = threeLevels();
    t.pages[21].owner = 99; // another table's page
    walkError(t);

    t = threeLevels();
    t.pages[10].next = 12; // the root has no siblings
    walkError(t);

    t = threeLevels();
    t.pages[12].tail = 99; // past the tree
    walkError(t);
}

TEST(IndexWalk, LoopsAndUnevenDepthAreReported) {
    Tree t = threeLevels();
    t.pages[12].tail = 10; // back to the root
    walkError(t);

    t = threeLevels();
    t.pages[12].tail = 21; // a page already walked
    walkError(t);

    t = threeLevels();
    t.node(13, {23}, 0);
    t.node(12, {22}, 13);   // leaf 23 one level deeper than the others
    EXPECT_NE(walkError(t).find("hĺbke"), std::string::npos);

    // A chain of nodes each naming the next: bounded depth, no recursion blow-up.
    Tree deep;
    deep.leaf(1000, 0, 0, 0, 1);
    for (std::uint32_t i = 0; i < 100; ++i) deep.node(100 + i, {}, i == 99 ? 1000 : 101 + i);
    IndexWalk w;
    EXPECT_EQ(deep.walk(&w, 100).code(), Status::Code::Corrupt);
}
