// The slot table of a data page (table rows, long values, usage maps).
#pragma once

#include <cstdint>

#include "jet/util/bytes.h"
#include "jet/io/pager.h"
#include "jet/status.h"

namespace jet {

constexpr std::uint8_t kDataPageType = 0x01;
constexpr std::uint32_t kLvalOwner = 0x4C41564C; // "LVAL"

struct RowSlot {
    std::uint16_t start = 0, end = 0; // body bytes [start, end) of the page
    bool deleted = false;
    bool overflow = false; // the body is a pointer to where the row really is
};

class DataPage {
public:
    static constexpr std::uint16_t kDeleted = 0x8000;
    static constexpr std::uint16_t kOverflow = 0x4000;
    static constexpr std::uint16_t kOffsetMask = 0x1FFF;
    static constexpr std::size_t kSlotTable = 14;

    // Accepts a page of type 0x01 whose slot table fits on the page.
    static Status open(PageRef page, std::uint32_t pgno, DataPage* out);

    std::uint32_t owner() const { return le32(&page_->bytes[4]); }
    std::uint16_t slotCount() const { return le16(&page_->bytes[12]); }
    std::uint32_t pageNumber() const { return pgno_; }
    // Bounds of slot `i` (< slotCount); a live slot outside the page's body
    // area is Corrupt.
    Status slot(std::uint16_t i, RowSlot* out) const;
    ByteSpan body(const RowSlot& s) const { return ByteSpan(page_->bytes.data() + s.start, s.end - s.start); }
    // Reads a live slot that must exist (long values, usage maps).
    Status liveSlot(std::uint16_t i, const char* what, RowSlot* out) const;
    // Reads a slot that must exist whatever its flags (the target of an
    // overflow pointer is flagged deleted so that scans skip it).
    Status anySlot(std::uint16_t i, const char* what, RowSlot* out) const;

private:
    Status bounds(std::uint16_t i, RowSlot* out) const;

    PageRef page_;
    std::uint32_t pgno_ = 0;
};

} // namespace jet
