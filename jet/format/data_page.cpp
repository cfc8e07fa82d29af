#include "jet/format/data_page.h"

#include <algorithm>
#include <cassert>

#include "jet/util/corrupt.h"

namespace jet {

using namespace data_page;

bool isDataPageOf(const Page& page, std::uint32_t owner) {
    return page.bytes[kPageTypeAt] == kDataPageType && le32(&page.bytes[kOwner]) == owner;
}

std::uint16_t slotCountOf(const Page& page) { return le16(&page.bytes[kSlotCount]); }

std::size_t lowestBodyStart(const Page& page) {
    const std::size_t n = slotCountOf(page);
    assert(slotAt(n) <= kPageSize);
    std::size_t low = kPageSize;
    for (std::size_t i = 0; i < n; ++i) low = std::min<std::size_t>(low, le16(&page.bytes[slotAt(i)]) & kOffsetMask);
    return low;
}

Status DataPage::open(PageRef page, std::uint32_t pgno, DataPage* out) {
    if (page->bytes[kPageTypeAt] != kDataPageType) return corruptAt(pgno, "strana nie je dátovou stranou");
    std::size_t n = le16(&page->bytes[kSlotCount]);
    if (n > kMaxSlots || slotAt(n) > kPageSize) return corruptAt(pgno, "strana uvádza priveľa riadkov");
    out->page_ = std::move(page);
    out->pgno_ = pgno;
    return Status::OK();
}

bool DataPage::inside(std::uint16_t i, RowSlot* out) const {
    assert(i < slotCount());
    const std::uint8_t* b = page_->bytes.data();
    std::uint16_t raw = le16(b + slotAt(i));
    out->deleted = raw & kDeleted;
    out->overflow = raw & kOverflow;
    out->start = raw & kOffsetMask;
    out->end = i == 0 ? kPageSize : le16(b + slotAt(i - 1)) & kOffsetMask;
    return out->start >= slotAt(slotCount()) && out->start <= out->end && out->end <= kPageSize;
}

Status DataPage::outside(std::uint16_t i) const {
    return corruptAt(pgno_, "riadok " + std::to_string(i) + " leží mimo strany");
}

Status DataPage::slot(std::uint16_t i, RowSlot* out) const {
    return inside(i, out) || out->deleted ? Status::OK() : outside(i);
}

Status DataPage::anySlot(std::uint16_t i, const char* what, RowSlot* out) const {
    if (i >= slotCount()) return corruptAt(pgno_, std::string(what) + ": riadok " + std::to_string(i) + " neexistuje");
    return inside(i, out) ? Status::OK() : outside(i);
}

Status DataPage::liveSlot(std::uint16_t i, const char* what, RowSlot* out) const {
    if (i >= slotCount()) return corruptAt(pgno_, std::string(what) + ": riadok " + std::to_string(i) + " neexistuje");
    JET_TRY(slot(i, out));
    if (out->deleted) return corruptAt(pgno_, std::string(what) + ": riadok " + std::to_string(i) + " je zmazaný");
    return Status::OK();
}

} // namespace jet
