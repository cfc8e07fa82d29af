#include "jet/format/data_page_writer.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "jet/util/bytes.h"
#include "jet/util/corrupt.h"
#include "jet/format/data_page.h"

namespace jet {

using namespace data_page;

namespace {

std::size_t slotRaw(const Page& page, std::size_t i) { return le16(&page.bytes[slotAt(i)]); }

std::size_t tableEnd(const Page& page) { return slotAt(slotCountOf(page)); }

std::size_t gapBelow(const Page& page, std::size_t low) {
    const std::size_t end = tableEnd(page);
    return low > end ? low - end : 0;
}

bool rowFits(const Page& page, std::size_t low, std::size_t length) {
    return slotCountOf(page) < kMaxSlotsWritten && gapBelow(page, low) >= length + kSlotSize;
}

// Puts `body` right below `low`, the lowest body start, and returns its slot.
// REQUIRES: rowFits(*page, low, body.size()).
std::uint8_t putRow(Page* page, std::size_t low, ByteSpan body) {
    assert(rowFits(*page, low, body.size()));
    const std::size_t n = slotCountOf(*page);
    const std::size_t start = low - body.size();
    if (!body.empty()) std::memcpy(&page->bytes[start], body.data(), body.size());
    putLe16(&page->bytes[slotAt(n)], start);
    putLe16(&page->bytes[kSlotCount], n + 1);
    putLe16(&page->bytes[kFreeSpace], gapBelow(*page, start));
    return static_cast<std::uint8_t>(n);
}

} // namespace

void initDataPage(std::uint32_t owner, Page* page) {
    page->bytes.fill(0);
    page->bytes[kPageTypeAt] = kDataPageType;
    page->bytes[kPageMarkerAt] = kPageMarker;
    putLe16(&page->bytes[kFreeSpace], kEmptySpace);
    putLe32(&page->bytes[kOwner], owner);
}

std::size_t dataPageGap(const Page& page) { return gapBelow(page, lowestBodyStart(page)); }

std::uint8_t addDataRow(Page* page, ByteSpan body) { return putRow(page, lowestBodyStart(*page), body); }

void FillingPage::start(std::uint32_t owner) {
    initDataPage(owner, &page_);
    low_ = kPageSize;
    dirty_ = false;
}

void FillingPage::adopt(const Page& page, std::uint32_t pgno) {
    page_ = page;
    pgno_ = pgno;
    low_ = lowestBodyStart(page_);
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
    const std::size_t n = slotCountOf(*page);
    if (slot >= n) return corruptAt(pgno, "riadok mapy strán neexistuje");
    if (dataPageGap(*page) < grow) return Status::error(Status::Code::TooLarge, "Na strane nie je miesto.");
    const std::size_t start = slotRaw(*page, slot) & kOffsetMask;
    const std::size_t end = slot == 0 ? kPageSize : slotRaw(*page, slot - 1) & kOffsetMask;
    // Rows after this one must lie below it for a plain shift to be right.
    for (std::size_t i = slot + 1; i < n; ++i)
        if ((slotRaw(*page, i) & kOffsetMask) > start)
            return Status::error(Status::Code::Unsupported, "Riadky strany nie sú uložené v poradí.");
    const std::size_t low = lowestBodyStart(*page);
    std::uint8_t* b = page->bytes.data();
    std::memmove(b + low - grow, b + low, end - low);
    std::memset(b + end - grow, 0, grow);
    for (std::size_t i = slot; i < n; ++i) {
        const std::size_t raw = slotRaw(*page, i);
        putLe16(b + slotAt(i), (raw & ~std::size_t{kOffsetMask}) | ((raw & kOffsetMask) - grow));
    }
    putLe16(b + kFreeSpace, dataPageGap(*page));
    return Status::OK();
}

} // namespace jet
