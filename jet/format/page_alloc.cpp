#include "jet/format/page_alloc.h"

#include <algorithm>
#include <vector>

#include "jet/util/bytes.h"
#include "jet/util/corrupt.h"
#include "jet/format/data_page.h"
#include "jet/format/data_page_writer.h"
#include "jet/format/usage_map.h"

namespace jet {
namespace {

// Bytes added beyond the need when an inline map grows, so that it does
// not grow again with every new page.
constexpr std::size_t kGlobalSlack = 64;
constexpr std::size_t kMapSlack = 16;

const RowPointer kGlobalMap{kGlobalMapPage, 0};

// One map and the sense of its bits.
struct MapRef {
    RowPointer where;
    bool global; // bits mean "free"; pages outside the map count as free
    std::uint8_t fill() const { return global ? 0xFF : 0x00; }
};

bool bitOf(const std::uint8_t* bitmap, std::uint32_t k) { return bitmap[k / 8] >> (k % 8) & 1; }

void setBit(std::uint8_t* bitmap, std::uint32_t k, bool on) {
    const auto mask = static_cast<std::uint8_t>(1u << (k % 8));
    bitmap[k / 8] = on ? (bitmap[k / 8] | mask) : (bitmap[k / 8] & ~mask);
}

// Sets bit k of the bitmap at `at` in page `pgno`, which `ref` holds; only
// the byte changed goes to the pager.
Status writeBit(Pager& pager, std::uint32_t pgno, PageRef ref, std::size_t at, std::uint32_t k, bool on) {
    std::uint8_t byte = ref->bytes[at + k / 8];
    ref.reset(); // let the pager change its buffer in place
    setBit(&byte, k % 8, on);
    return pager.writeBytes(pgno, at + k / 8, {&byte, 1});
}

// The page holding the map and the bounds of the map's row. The page is
// shared with the pager until edit() makes a copy to change.
struct MapRow {
    PageRef ref;
    RowSlot slot;
    Page page; // the copy being changed, after edit()

    const std::uint8_t* bytes() const { return ref->bytes.data() + slot.start; }
    std::uint8_t* edit() {
        page = *ref;
        ref.reset();
        return page.bytes.data() + slot.start;
    }
    std::size_t size() const { return slot.end - slot.start; }
};

Status loadRow(Pager& pager, RowPointer where, MapRow* out) {
    if (where.page >= pager.pageCount()) return corruptAt(where.page, "mapa strán ukazuje mimo súboru");
    JET_TRY(pager.read(where.page, &out->ref));
    DataPage page;
    JET_TRY(DataPage::open(out->ref, where.page, &page));
    JET_TRY(page.liveSlot(where.row, "mapa strán", &out->slot));
    if (out->size() < kInlineMapHeader) return corruptAt(where.page, "krátka mapa strán");
    return Status::OK();
}

Status setBitInMap(Pager& pager, const MapRef& map, std::uint32_t pgno, bool bit);

// Gives the reference map's slot `i` a bitmap page when it has none.
Status ensureBitmapPage(Pager& pager, const MapRef& map, std::size_t i, std::uint32_t* bitmapPage) {
    MapRow row;
    JET_TRY(loadRow(pager, map.where, &row));
    if (bitmapPageAt(i + 1) > row.size())
        return Status::error(Status::Code::TooLarge, "Mapa strán nestačí na taký veľký súbor.");
    *bitmapPage = le32(row.bytes() + bitmapPageAt(i));
    if (*bitmapPage != 0) return Status::OK();
    Page bits;
    bits.bytes.fill(map.fill());
    bits.bytes[kPageTypeAt] = kBitmapPageType;
    bits.bytes[kPageMarkerAt] = kPageMarker;
    std::fill(&bits.bytes[kPageMarkerAt + 1], &bits.bytes[kBitmapOffset], 0);
    std::uint32_t pgno = 0;
    if (map.global) {
        // The global map describes its own new page.
        JET_TRY(pager.append(bits, &pgno));
        if (pgno / kPagesPerBitmapPage == i) {
            setBit(bits.bytes.data() + kBitmapOffset, pgno % kPagesPerBitmapPage, false);
            JET_TRY(pager.write(pgno, bits));
        }
    } else {
        JET_TRY(allocatePage(pager, bits, &pgno));
    }
    JET_TRY(loadRow(pager, map.where, &row));
    putLe32(row.edit() + bitmapPageAt(i), pgno);
    JET_TRY(pager.write(map.where.page, row.page));
    *bitmapPage = pgno;
    if (map.global && pgno / kPagesPerBitmapPage != i) JET_TRY(setBitInMap(pager, map, pgno, false));
    return Status::OK();
}

Status setReferenceBit(Pager& pager, const MapRef& map, std::uint32_t pgno, bool bit) {
    std::uint32_t bitmapPage = 0;
    JET_TRY(ensureBitmapPage(pager, map, pgno / kPagesPerBitmapPage, &bitmapPage));
    if (bitmapPage >= pager.pageCount()) return corruptAt(map.where.page, "mapa strán ukazuje mimo súboru");
    PageRef ref;
    JET_TRY(pager.read(bitmapPage, &ref));
    if (ref->bytes[kPageTypeAt] != kBitmapPageType) return corruptAt(bitmapPage, "strana nie je bitovou mapou");
    if (bitOf(ref->bytes.data() + kBitmapOffset, pgno % kPagesPerBitmapPage) == bit) return Status::OK();
    return writeBit(pager, bitmapPage, std::move(ref), kBitmapOffset, pgno % kPagesPerBitmapPage, bit);
}

// Turns an inline map into a map of bitmap pages holding the same set.
// New bitmap pages start with every page unlisted (free for the global
// map), so only the pages that differ are carried over.
Status convertToReference(Pager& pager, const MapRef& map) {
    MapRow row;
    JET_TRY(loadRow(pager, map.where, &row));
    const std::uint32_t start = le32(row.bytes() + kInlineMapStart);
    const std::vector<std::uint8_t> bitmap(row.bytes() + kInlineMapHeader, row.bytes() + row.size());
    std::uint8_t* bytes = row.edit();
    std::fill(bytes, bytes + row.size(), 0);
    bytes[kMapType] = kReferenceMap;
    JET_TRY(pager.write(map.where.page, row.page));
    for (std::size_t k = 0; k < 8 * bitmap.size(); ++k) {
        const bool bit = bitOf(bitmap.data(), static_cast<std::uint32_t>(k));
        const std::uint64_t p = start + std::uint64_t{k};
        if (bit == map.global || p >= pager.pageCount()) continue;
        JET_TRY(setReferenceBit(pager, map, static_cast<std::uint32_t>(p), bit));
    }
    return Status::OK();
}

// Grows an inline map so that it reaches `pgno`; false in *grown when its
// page has no room for it.
Status growInline(Pager& pager, const MapRef& map, std::uint32_t pgno, bool* grown) {
    MapRow row;
    JET_TRY(loadRow(pager, map.where, &row));
    const std::uint32_t start = le32(row.bytes() + kInlineMapStart);
    const std::size_t have = row.size() - kInlineMapHeader;
    std::size_t need = (pgno - start) / 8 + 1 - have + (map.global ? kGlobalSlack : kMapSlack);
    need = (need + 3) / 4 * 4;
    row.edit();
    Status s = growDataRow(&row.page, map.where.page, map.where.row, need);
    *grown = s.ok();
    if (s.code() == Status::Code::TooLarge || s.code() == Status::Code::Unsupported) return Status::OK();
    JET_TRY(s);
    DataPage view;
    JET_TRY(DataPage::open(std::make_shared<Page>(row.page), map.where.page, &view));
    JET_TRY(view.liveSlot(map.where.row, "mapa strán", &row.slot));
    std::uint8_t* bytes = row.page.bytes.data() + row.slot.start;
    std::fill(bytes + kInlineMapHeader + have, bytes + row.size(), map.fill());
    return pager.write(map.where.page, row.page);
}

Status setBitInMap(Pager& pager, const MapRef& map, std::uint32_t pgno, bool bit) {
    MapRow row;
    JET_TRY(loadRow(pager, map.where, &row));
    const std::uint8_t type = row.bytes()[kMapType];
    if (type == kReferenceMap) return setReferenceBit(pager, map, pgno, bit);
    if (type != kInlineMap) return corruptAt(map.where.page, "neznámy druh mapy strán");
    const std::uint32_t start = le32(row.bytes() + kInlineMapStart);
    const std::uint64_t end = start + std::uint64_t{8} * (row.size() - kInlineMapHeader);
    if (pgno >= start && pgno < end) {
        if (bitOf(row.bytes() + kInlineMapHeader, pgno - start) == bit) return Status::OK();
        return writeBit(pager, map.where.page, std::move(row.ref), row.slot.start + kInlineMapHeader, pgno - start,
                        bit);
    }
    // Outside the window a page reads as not listed.
    if (bit == map.global) return Status::OK();
    bool grown = false;
    if (pgno >= start) JET_TRY(growInline(pager, map, pgno, &grown));
    if (!grown) JET_TRY(convertToReference(pager, map));
    return setBitInMap(pager, map, pgno, bit);
}

} // namespace

Status allocatePage(Pager& pager, const Page& content, std::uint32_t* pgno) {
    JET_TRY(pager.append(content, pgno));
    return setBitInMap(pager, MapRef{kGlobalMap, true}, *pgno, false);
}

Status setMapMember(Pager& pager, RowPointer map, std::uint32_t pgno, bool member) {
    return setBitInMap(pager, MapRef{map, false}, pgno, member);
}

} // namespace jet
