#include "jet/format/data_page_writer.h"

#include <algorithm>
#include <cstring>

#include "jet/util/bytes.h"
#include "jet/util/corrupt.h"
#include "jet/format/data_page.h"

namespace jet {
namespace {

std::size_t slotCount(const Page& page) { return le16(&page.bytes[12]); }

std::size_t slotRaw(const Page& page, std::size_t i) { return le16(&page.bytes[DataPage::kSlotTable + 2 * i]); }

// The lowest body start over all slots (the page end when there is none).
std::size_t lowestStart(const Page& page) {
    std::size_t low = kPageSize;
    for (std::size_t i = 0, n = slotCount(page); i < n; ++i)
        low = std::min(low, slotRaw(page, i) & DataPage::kOffsetMask);
    return low;
}

std::size_t tableEnd(const Page& page) { return DataPage::kSlotTable + 2 * slotCount(page); }

std::size_t gapBelow(const Page& page, std::size_t low) {
    const std::size_t end = tableEnd(page);
    return low > end ? low - end : 0;
}

bool rowFits(const Page& page, std::size_t low, std::size_t length) {
    return slotCount(page) < kMaxSlotsPerPage && gapBelow(page, low) >= length + 2;
}

// Puts `body` right below `low`, the lowest body start, and returns its slot.
std::uint8_t putRow(Page* page, std::size_t low, ByteSpan body) {
    const std::size_t n = slotCount(*page);
    const std::size_t start = low - body.size();
    if (!body.empty()) std::memcpy(&page->bytes[start], body.data(), body.size());
    putLe16(&page->bytes[DataPage::kSlotTable + 2 * n], start);
    putLe16(&page->bytes[12], n + 1);
    putLe16(&page->bytes[2], gapBelow(*page, start));
    return static_cast<std::uint8_t>(n);
}

} // namespace

void initDataPage(std::uint32_t owner, Page* page) {
    page->bytes.fill(0);
    page->bytes[0] = kDataPageType;
    page->bytes[1] = 0x01;
    putLe16(&page->bytes[2], kEmptyDataPageSpace);
    putLe32(&page->bytes[4], owner);
}

std::size_t dataPageGap(const Page& page) { return gapBelow(page, lowestStart(page)); }

std::uint8_t addDataRow(Page* page, ByteSpan body) { return putRow(page, lowestStart(*page), body); }

void FillingPage::start(std::uint32_t owner) {
    initDataPage(owner, &page_);
    low_ = kPageSize;
    dirty_ = false;
}

void FillingPage::adopt(const Page& page, std::uint32_t pgno) {
    page_ = page;
    pgno_ = pgno;
    low_ = lowestStart(page_);
    dirty_ = false;
}

bool FillingPage::fits(std::size_t length) const { return rowFits(page_, low_, length); }

std::uint8_t FillingPage::add(ByteSpan body) {
    const std::uint8_t slot = putRow(&page_, low_, body);
    low_ -= body.size();
    dirty_ = true;
    return slot;
}

Status FillingPage::write(Pager& pager) {
    if (!dirty_) return Status::OK();
    JET_TRY(pager.write(pgno_, page_));
    dirty_ = false;
    return Status::OK();
}

Status growDataRow(Page* page, std::uint32_t pgno, std::uint8_t slot, std::size_t grow) {
    const std::size_t n = slotCount(*page);
    if (slot >= n) return corruptAt(pgno, "riadok mapy strán neexistuje");
    if (dataPageGap(*page) < grow) return Status::error(Status::Code::TooLarge, "Na strane nie je miesto.");
    const std::size_t start = slotRaw(*page, slot) & DataPage::kOffsetMask;
    const std::size_t end = slot == 0 ? kPageSize : slotRaw(*page, slot - 1) & DataPage::kOffsetMask;
    // Rows after this one must lie below it for a plain shift to be right.
    for (std::size_t i = slot + 1; i < n; ++i)
        if ((slotRaw(*page, i) & DataPage::kOffsetMask) > start)
            return Status::error(Status::Code::Unsupported, "Riadky strany nie sú uložené v poradí.");
    const std::size_t low = lowestStart(*page);
    std::uint8_t* b = page->bytes.data();
    std::memmove(b + low - grow, b + low, end - low);
    std::memset(b + end - grow, 0, grow);
    for (std::size_t i = slot; i < n; ++i) {
        const std::size_t raw = slotRaw(*page, i);
        putLe16(b + DataPage::kSlotTable + 2 * i, (raw & ~std::size_t{DataPage::kOffsetMask}) | ((raw & DataPage::kOffsetMask) - grow));
    }
    putLe16(b + 2, dataPageGap(*page));
    return Status::OK();
}

} // namespace jet
