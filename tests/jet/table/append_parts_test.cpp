// Usage maps that grow and turn into maps of bitmap pages, the global
// allocation map among them: growth no fixture's appends reach.
#include "support/database.h"

#include "jet/util/bytes.h"
#include "jet/format/data_page.h"
#include "jet/format/data_page_writer.h"
#include "jet/format/page_alloc.h"
#include "jet/format/usage_map.h"

using namespace test_db;

namespace {

// The stored row of the map at `where`; `keep` holds its page.
ByteSpan mapRow(Pager& pager, RowPointer where, PageRef* keep) {
    EXPECT_TRUE(pager.read(where.page, keep).ok());
    DataPage page;
    EXPECT_TRUE(DataPage::open(*keep, where.page, &page).ok());
    RowSlot slot;
    EXPECT_TRUE(page.liveSlot(where.row, "map", &slot).ok());
    return page.body(slot);
}

// 0 for an inline map, 1 for a map of bitmap pages.
std::uint8_t mapKind(Pager& pager, RowPointer where) {
    PageRef keep;
    return mapRow(pager, where, &keep)[0];
}

// Moves the window of the empty inline map at `where` to start at `start`.
void moveWindow(Pager& pager, RowPointer where, std::uint32_t start) {
    PageRef keep;
    const ByteSpan row = mapRow(pager, where, &keep);
    ASSERT_EQ(row[0], 0);
    Page page = *keep;
    putLe32(&page.bytes[row.data() - keep->bytes.data() + 1], start);
    ASSERT_TRUE(pager.write(where.page, page).ok());
}

// Whether page `p` is in the map stored at `where`, read straight from the
// bytes (inline or bitmap pages). For the global map the bit means free.
bool mapBit(Pager& pager, RowPointer where, std::uint32_t p) {
    PageRef keep;
    const ByteSpan row = mapRow(pager, where, &keep);
    if (row[0] == 0) {
        const std::uint32_t start = le32(&row[1]);
        const std::size_t k = p - start;
        if (p < start || k / 8 >= row.size() - 5) return false;
        return row[5 + k / 8] >> (k % 8) & 1;
    }
    const std::uint32_t perPage = 4092 * 8;
    const std::uint32_t bitmap = le32(&row[1 + 4 * (p / perPage)]);
    if (bitmap == 0) return false;
    PageRef bits;
    EXPECT_TRUE(pager.read(bitmap, &bits).ok());
    const std::uint32_t k = p % perPage;
    return bits->bytes[4 + k / 8] >> (k % 8) & 1;
}

} // namespace

// Pages past the window of an inline map (one that starts past page 0, as
// some Access-written maps do) make it grow in place; a page its usage-map
// page has no room for turns it into a map of bitmap pages with the same
// members. The global map grows with the file; with page 1 full, it too
// turns into bitmap pages: pages in use stay used, new ones are marked, the
// rest reads free.
TEST(AppendParts, UsageMapsGrowAndTurnIntoBitmapPages) {
    Scratch file(blank());
    auto db = openWritable(file.path());
    auto t = openTable(*db, "identifikatory");
    const RowPointer map = impl(*t).def().freePages, global{kGlobalMapPage, 0};
    ASSERT_NE(map.page, kGlobalMapPage);
    Pager& pager = impl(*db).pager();
    ASSERT_TRUE(pager.begin().ok());
    std::uint32_t last = 0;
    const std::uint32_t first = pager.pageCount();
    for (int i = 0; i < 1200; ++i) ASSERT_TRUE(allocatePage(pager, Page{}, &last).ok());
    for (std::uint32_t p = first; p <= last; ++p) EXPECT_FALSE(mapBit(pager, global, p)) << p;
    EXPECT_TRUE(mapBit(pager, global, last + 1)) << "pages past the end read free";

    PageRef ref;
    ASSERT_TRUE(pager.read(kGlobalMapPage, &ref).ok());
    Page full = *ref;
    addDataRow(&full, Bytes(dataPageGap(full) - 2 - 8, 0)); // leaves 8 bytes
    ASSERT_TRUE(pager.write(kGlobalMapPage, full).ok());
    std::vector<std::uint32_t> used;
    for (std::uint32_t p = 0; p < pager.pageCount(); ++p)
        if (!mapBit(pager, global, p)) used.push_back(p);
    std::uint32_t end = 0;
    for (int i = 0; i < 2000; ++i) ASSERT_TRUE(allocatePage(pager, Page{}, &end).ok());
    ASSERT_EQ(mapKind(pager, global), 1) << "a map of bitmap pages";
    for (std::uint32_t p : used) EXPECT_FALSE(mapBit(pager, global, p)) << p;
    for (std::uint32_t p = last + 1; p <= end; ++p) EXPECT_FALSE(mapBit(pager, global, p)) << p;
    EXPECT_TRUE(mapBit(pager, global, end + 1));

    moveWindow(pager, map, first / 8 * 8);
    std::vector<std::uint32_t> added = {first, first + 700, last};
    for (std::uint32_t p : added) ASSERT_TRUE(setMapMember(pager, map, p, true).ok());
    std::vector<std::uint32_t> members;
    ASSERT_TRUE(readUsageMap(pager, map, &members).ok());
    EXPECT_EQ(members, added);
    EXPECT_EQ(mapKind(pager, map), 0) << "grown in place";

    // Far beyond what an inline row on its page can reach.
    ASSERT_TRUE(setMapMember(pager, map, 30000, true).ok());
    ASSERT_TRUE(setMapMember(pager, map, first + 700, false).ok());
    for (std::uint32_t p : {first, last, 30u * 1000}) EXPECT_TRUE(mapBit(pager, map, p)) << p;
    EXPECT_FALSE(mapBit(pager, map, first + 700));
    EXPECT_EQ(mapKind(pager, map), 1) << "a map of bitmap pages";
    ASSERT_TRUE(pager.rollback().ok());
}
