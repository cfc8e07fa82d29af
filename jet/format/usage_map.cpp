#include "jet/format/usage_map.h"

#include "jet/util/corrupt.h"
#include "jet/format/data_page.h"

namespace jet {
namespace {

// With `clip`, members past the end of the file, and bitmap pages past it,
// are left out instead of being damage (the global map marks them all free).
Status addBits(ByteSpan bitmap, std::uint64_t first, std::uint32_t pageCount, std::uint32_t mapPage, bool clip,
               std::vector<std::uint32_t>* pages) {
    for (std::size_t i = 0; i < bitmap.size(); ++i) {
        if (bitmap[i] == 0) continue;
        for (int bit = 0; bit < 8; ++bit) {
            if (!(bitmap[i] >> bit & 1)) continue;
            std::uint64_t page = first + 8 * i + bit;
            if (page >= pageCount) {
                if (clip) return Status::OK();
                return corruptAt(mapPage, "mapa strán uvádza stranu za koncom súboru");
            }
            pages->push_back(static_cast<std::uint32_t>(page));
        }
    }
    return Status::OK();
}

Status readMap(Pager& pager, RowPointer where, bool clip, std::vector<std::uint32_t>* pages) {
    pages->clear();
    if (where.page >= pager.pageCount()) return corruptAt(where.page, "mapa strán ukazuje mimo súboru");
    PageRef ref;
    JET_TRY(pager.read(where.page, &ref));
    DataPage page;
    JET_TRY(DataPage::open(ref, where.page, &page));
    RowSlot slot;
    JET_TRY(page.liveSlot(where.row, "mapa strán", &slot));
    ByteSpan row = page.body(slot);
    if (row.empty()) return corruptAt(where.page, "prázdna mapa strán");
    if (row[kMapType] == kInlineMap) {
        if (row.size() < kInlineMapHeader) return corruptAt(where.page, "krátka mapa strán");
        return addBits(row.subspan(kInlineMapHeader), le32(&row[kInlineMapStart]), pager.pageCount(), where.page, clip,
                       pages);
    }
    if (row[kMapType] != kReferenceMap) return corruptAt(where.page, "neznámy druh mapy strán");
    for (std::size_t i = 0; bitmapPageAt(i + 1) <= row.size(); ++i) {
        std::uint32_t bitmapPage = le32(&row[bitmapPageAt(i)]);
        if (bitmapPage == 0 || (clip && bitmapPage >= pager.pageCount())) continue;
        if (bitmapPage >= pager.pageCount()) return corruptAt(where.page, "mapa strán ukazuje mimo súboru");
        PageRef bits;
        JET_TRY(pager.read(bitmapPage, &bits));
        if (bits->bytes[kPageTypeAt] != kBitmapPageType) return corruptAt(bitmapPage, "strana nie je bitovou mapou");
        JET_TRY(addBits(ByteSpan(bits->bytes.data() + kBitmapOffset, kPageSize - kBitmapOffset),
                        std::uint64_t{kPagesPerBitmapPage} * i, pager.pageCount(), bitmapPage, clip, pages));
    }
    return Status::OK();
}

} // namespace

Status readUsageMap(Pager& pager, RowPointer where, std::vector<std::uint32_t>* pages) {
    return readMap(pager, where, false, pages);
}

Status readFreePages(Pager& pager, std::vector<std::uint32_t>* pages) {
    return readMap(pager, RowPointer{kGlobalMapPage, 0}, true, pages);
}

} // namespace jet
