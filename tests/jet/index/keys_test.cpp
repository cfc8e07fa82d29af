// Index keys in value order (their layouts are pinned by the checker
// re-encoding the keys of the fixtures and the Access-written files), new
// entries handed to a tree in that order, and an index tree of a shape our
// writer never makes but Access leaves behind.
#include <algorithm>
#include <limits>

#include "jet/format/page_alloc.h"
#include "jet/index/entry_batch.h"
#include "jet/index/index_tree.h"
#include "jet/index/index_walk.h"
#include "jet/index/key_filter.h"
#include "jet/index/keys.h"
#include "jet/probe_table.h"
#include "support/database.h"

using namespace jet;

namespace {

Bytes field(ColumnType type, const Value& v, bool ascending = true) {
    Bytes out;
    Status s = appendKeyField(KeyColumn{type, ascending}, v, &out);
    EXPECT_TRUE(s.ok()) << s.message();
    return out;
}

Bytes hex(std::initializer_list<int> bytes) { return Bytes(bytes.begin(), bytes.end()); }

// Descending NUMERIC keys follow an older rule of their own.
template <typename T> void expectIncreasing(ColumnType type, std::initializer_list<T> values, bool descending = true) {
    std::vector<Bytes> asc, desc;
    for (const T& v : values) {
        asc.push_back(field(type, Value(v), true));
        desc.push_back(field(type, Value(v), false));
    }
    for (std::size_t i = 1; i < asc.size(); ++i) {
        EXPECT_LT(asc[i - 1], asc[i]) << "ascending, value " << i;
        EXPECT_TRUE(!descending || desc[i - 1] > desc[i]) << "descending, value " << i;
    }
    EXPECT_LT(field(type, Value(), true), asc.front());
    EXPECT_GT(field(type, Value(), false), desc.front());
}

Numeric numeric(std::int64_t v) {
    Numeric n{18, 0, v < 0};
    const auto magnitude = static_cast<std::uint64_t>(v < 0 ? -v : v);
    for (int i = 0; i < 8; ++i) n.magnitude[i] = static_cast<std::uint8_t>(magnitude >> 8 * i);
    return n;
}

} // namespace

TEST(Keys, ByteOrderFollowsValueOrder) {
    expectIncreasing<std::int64_t>(ColumnType::Byte, {0, 1, 127, 128, 255});
    expectIncreasing<std::int64_t>(ColumnType::Int, {-32768, -2, -1, 0, 1, 32767});
    expectIncreasing<std::int64_t>(ColumnType::Long, {INT32_MIN, -70000, -1, 0, 1, 65536, INT32_MAX});
    expectIncreasing<Currency>(ColumnType::Currency,
                               {Currency{INT64_MIN}, Currency{-10000}, Currency{0}, Currency{1}, Currency{INT64_MAX}});
    const double inf = std::numeric_limits<double>::infinity();
    expectIncreasing<double>(ColumnType::Double, {-inf, -1e300, -2.5, -1e-300, 0.0, 1e-300, 0.1 + 0.2, 1e300, inf});
    expectIncreasing<float>(ColumnType::Single, {-3.5f, -1.0f, 0.0f, 0.25f, 1e30f});
    expectIncreasing<DateTime>(ColumnType::DateTime, {DateTime{-1.5}, DateTime{0}, DateTime{40108.16}});
    expectIncreasing<Bytes>(ColumnType::Binary,
                            {Bytes{0}, Bytes{0, 0}, Bytes{1}, Bytes(8, 0xFF), Bytes(9, 0xFF), Bytes(20, 0xFF)});
    expectIncreasing<Numeric>(ColumnType::Numeric, {numeric(-70000), numeric(-1), numeric(0), numeric(1), numeric(256)},
                              false);
    // Yes is -1: it sorts before No, which a missing value counts as.
    EXPECT_EQ(field(ColumnType::Bool, Value(true)), hex({0x7F, 0x00}));
    EXPECT_EQ(field(ColumnType::Bool, Value()), hex({0x7F, 0xFF}));
    EXPECT_EQ(field(ColumnType::Bool, Value(true), false), hex({0x80, 0xFF}));
}

// The batch sorts on an entry's first eight bytes, then on the next eight
// of those that agree, and so on: entries shorter than that, one that
// begins another, equal first bytes and a difference in the first or the
// eighth byte of a block alone must still come out in byte order.
TEST(EntryBatch, HandsOutEntriesInByteOrder) {
    const std::vector<Bytes> order = {hex({1, 2, 3, 4, 5, 6, 7, 8, 1}),
                                      hex({1, 2, 3, 4, 5, 6, 7, 8, 2}),
                                      hex({1, 2, 3, 4, 5, 6, 7, 8, 2, 0}),
                                      hex({1, 2, 3, 4, 5, 6, 7, 8, 2, 0, 0, 0, 0, 0, 0, 0, 0, 7}),
                                      hex({1, 2, 3, 4, 5, 6, 7, 8, 2, 0, 0, 0, 0, 0, 0, 1}),
                                      hex({1, 2, 3, 4, 5, 6, 7, 8, 3, 4, 5, 6, 7, 8, 9, 9, 9, 1}),
                                      hex({1, 2, 3, 4, 5, 6, 7, 8, 3, 4, 5, 6, 7, 8, 9, 9, 9, 2}),
                                      hex({0x10, 0x20}),
                                      hex({0x10, 0x20, 0x00}),
                                      hex({0x10, 0x20, 0x00, 0x05}),
                                      hex({0x10, 0x21}),
                                      hex({0x80, 0, 0, 0, 0, 0, 0, 0, 1}),
                                      hex({0x80, 0, 0, 0, 0, 0, 0, 1}),
                                      hex({0xFF})};
    ASSERT_TRUE(std::is_sorted(order.begin(), order.end()));
    EntryBatch batch(false);
    for (auto e = order.rbegin(); e != order.rend(); ++e) batch.add(*e);
    std::vector<Bytes> out;
    for (ByteSpan e : batch.sorted()) out.emplace_back(e.begin(), e.end());
    EXPECT_EQ(out, order);
}

// Where a batch goes to its tree decides where the tree's pages split, so
// room reserved ahead and keys filed late must not change what the batch
// counts against its budget: what its buffers and hash table would hold
// grown entry by entry. Keys with a Null may repeat (no uniqueness test
// sees them); the others come known to be new.
TEST(EntryBatch, CountsItsBudgetAsIfGrownEntryByEntry) {
    EntryBatch batch(true);
    batch.reserve(1000, 1 << 16);
    Bytes data;
    std::vector<std::uint32_t> ends;
    std::vector<Bytes> keys;
    ProbeTable<std::uint32_t> filed;
    for (std::uint32_t i = 0; i < 400; ++i) {
        const bool withNull = i % 7 == 3;
        const Bytes key = withNull ? hex({0x00, static_cast<int>(i % 5)}) : Bytes(1 + i % 13, static_cast<std::uint8_t>(i));
        Bytes entry = key;
        appendLe(&entry, i, kRowPointerBytes);
        batch.add(entry, hashKey(key), !withNull);
        keys.push_back(key);
        data.insert(data.end(), entry.begin(), entry.end());
        ends.push_back(static_cast<std::uint32_t>(data.size()));
        filed.insert(hashKey(key), [&](std::uint32_t k) { return keys[k] == key; }, i);
        const std::size_t grown = data.capacity() + sizeof(std::uint32_t) * ends.capacity() + 16 * filed.slotCount() +
                                  sizeof(ByteSpan) * ends.size();
        ASSERT_EQ(batch.bytes(), grown) << "entry " << i;
    }
}

// A batch answers for every key it holds, whether the key still waits (found
// by its hash among the waiting ones), was filed with those before a key
// with a Null, or was filed once questions came often; and only for those.
TEST(EntryBatch, FindsEveryKeyItHoldsFiledOrWaiting) {
    EntryBatch batch(true);
    std::vector<Bytes> keys;
    for (std::uint32_t i = 0; i < 300; ++i) {
        const bool withNull = i % 50 == 49;
        Bytes key = {withNull ? std::uint8_t{0x00} : std::uint8_t{0x7F}, static_cast<std::uint8_t>(i >> 8),
                     static_cast<std::uint8_t>(i)};
        Bytes entry = key;
        appendLe(&entry, i, kRowPointerBytes);
        batch.add(entry, hashKey(key), !withNull);
        keys.push_back(key);
        // Questions come in bursts: now and then more than the waiting keys
        // are looked through for, so they are filed.
        for (std::uint32_t asked : {i, i / 2, i / 3 * 2}) {
            if (i % 20 != 0 && asked != i) continue;
            ASSERT_TRUE(batch.holdsKey(keys[asked], hashKey(keys[asked]))) << i << " " << asked;
        }
        const Bytes absent = {0x7F, 0xFF, static_cast<std::uint8_t>(i)};
        ASSERT_FALSE(batch.holdsKey(absent, hashKey(absent))) << i;
    }
}

// Each intermediate page has a single child, described by an entry and no
// tail: a new maximum in the leaf must reach every level above it. An
// entry of the largest length is taken, one byte more refused.
TEST(IndexTree, NewMaximumReachesEveryLevelOfSingleChildren) {
    test_db::Scratch file(test_db::blank());
    auto db = test_db::openWritable(file.path());
    Pager& pager = impl(*db).pager();
    ASSERT_TRUE(pager.begin().ok());
    constexpr std::uint32_t kOwner = 2;
    std::uint32_t root = 0, node = 0, leaf = 0;
    for (std::uint32_t* p : {&root, &node, &leaf}) ASSERT_TRUE(allocatePage(pager, Page{}, p).ok());
    auto put = [&](std::uint32_t pgno, std::uint8_t type, std::vector<Bytes> entries) {
        const IndexPage p{.type = type, .owner = kOwner, .mark = type == kIndexNodePage, .entries = std::move(entries)};
        Page out;
        ASSERT_TRUE(buildIndexPage(p, &out).ok());
        ASSERT_TRUE(pager.write(pgno, out).ok());
    };
    const Bytes last = makeLeafEntry(hex({0x7F, 0x20}), {leaf, 1});
    put(leaf, kIndexLeafPage, {makeLeafEntry(hex({0x7F, 0x10}), {leaf, 0}), last});
    put(node, kIndexNodePage, {makeNodeEntry(last, leaf)});
    put(root, kIndexNodePage, {makeNodeEntry(last, node)});

    IndexTree tree(pager, kOwner, root, {});
    bool newKey = false;
    EXPECT_EQ(tree.insert(Bytes(kMaxIndexEntry + 1, 0x7F), &newKey).code(), Status::Code::Refused);
    ASSERT_TRUE(tree.insert(Bytes(kMaxIndexEntry, 0x7F), &newKey).ok());
    ASSERT_TRUE(tree.flush().ok());
    IndexWalk walk;
    Status s = walkIndex([&](std::uint32_t p, PageRef* out) { return pager.read(p, out); }, root, kOwner, &walk);
    EXPECT_TRUE(s.ok()) << s.message();
    EXPECT_EQ(walk.entries.size(), 3u);
    EXPECT_EQ(walk.depth, 3u);
    ASSERT_TRUE(pager.rollback().ok());
}
