#include "jet/format/data_page.h"

#include "jet/util/corrupt.h"

namespace jet {

Status DataPage::open(PageRef page, std::uint32_t pgno, DataPage* out) {
    if (page->bytes[0] != kDataPageType) return corruptAt(pgno, "strana nie je dátovou stranou");
    std::size_t n = le16(&page->bytes[12]);
    // Row pointers address a slot with one byte.
    if (n > 256 || kSlotTable + 2 * n > kPageSize) return corruptAt(pgno, "strana uvádza priveľa riadkov");
    out->page_ = std::move(page);
    out->pgno_ = pgno;
    return Status::OK();
}

Status DataPage::bounds(std::uint16_t i, RowSlot* out) const {
    const std::uint8_t* b = page_->bytes.data();
    std::uint16_t raw = le16(b + kSlotTable + 2 * i);
    out->deleted = raw & kDeleted;
    out->overflow = raw & kOverflow;
    out->start = raw & kOffsetMask;
    out->end = i == 0 ? kPageSize : le16(b + kSlotTable + 2 * (i - 1)) & kOffsetMask;
    if (out->start < kSlotTable + 2 * slotCount() || out->start > out->end || out->end > kPageSize)
        return corruptAt(pgno_, "riadok " + std::to_string(i) + " leží mimo strany");
    return Status::OK();
}

Status DataPage::slot(std::uint16_t i, RowSlot* out) const {
    Status s = bounds(i, out);
    return out->deleted ? Status::OK() : s;
}

Status DataPage::anySlot(std::uint16_t i, const char* what, RowSlot* out) const {
    if (i >= slotCount()) return corruptAt(pgno_, std::string(what) + ": riadok " + std::to_string(i) + " neexistuje");
    return bounds(i, out);
}

Status DataPage::liveSlot(std::uint16_t i, const char* what, RowSlot* out) const {
    if (i >= slotCount()) return corruptAt(pgno_, std::string(what) + ": riadok " + std::to_string(i) + " neexistuje");
    JET_TRY(slot(i, out));
    if (out->deleted) return corruptAt(pgno_, std::string(what) + ": riadok " + std::to_string(i) + " je zmazaný");
    return Status::OK();
}

} // namespace jet
