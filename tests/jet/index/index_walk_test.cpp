// Walking damaged index trees built in memory: loops, wrong links, stale
// intermediate entries and foreign pages are reported instead of followed.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "jet/index/index_walk.h"

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

// Every damage is a Corrupt status naming the page, never a loop.
TEST(IndexWalk, DamagedTreesAreReported) {
    struct Case {
        const char* what;
        std::function<void(Tree&)> damage;
        const char* named;
    };
    const Case cases[] = {
        {"wrong back link", [](Tree& t) { t.pages[22].prev = 20; }, "22"},
        {"leaf chain looping", [](Tree& t) { t.pages[23].next = 20; }, ""},
        // A stale copy of leaf 20's last entry in its parent.
        {"stale node entry", [](Tree& t) { t.pages[11].entries[0] = makeNodeEntry(entry(48), 20); }, "11"},
        {"entries out of order", [](Tree& t) { t.pages[21].entries[3] = entry(10); }, ""},
        {"another table's page", [](Tree& t) { t.pages[21].owner = 99; }, ""},
        {"root with a sibling", [](Tree& t) { t.pages[10].next = 12; }, ""},
        {"tail past the tree", [](Tree& t) { t.pages[12].tail = 99; }, ""},
        {"tail back to the root", [](Tree& t) { t.pages[12].tail = 10; }, ""},
        {"tail to a page walked", [](Tree& t) { t.pages[12].tail = 21; }, ""},
        {"uneven depth",
         [](Tree& t) {
             t.node(13, {23}, 0);
             t.node(12, {22}, 13);
         },
         "hĺbke"},
    };
    {
        IndexWalk w;
        ASSERT_TRUE(threeLevels().walk(&w).ok());
        ASSERT_EQ(w.entries.size(), 160u);
    }
    for (const Case& c : cases) {
        Tree t = threeLevels();
        c.damage(t);
        EXPECT_NE(walkError(t).find(c.named), std::string::npos) << c.what;
    }
    // A chain of nodes each naming the next: bounded depth, no recursion blow-up.
    Tree deep;
    deep.leaf(1000, 0, 0, 0, 1);
    for (std::uint32_t i = 0; i < 100; ++i) deep.node(100 + i, {}, i == 99 ? 1000 : 101 + i);
    IndexWalk w;
    EXPECT_EQ(deep.walk(&w, 100).code(), Status::Code::Corrupt);
}
