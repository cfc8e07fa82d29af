// The slot table of a data page (table rows, long values, usage maps).
#pragma once

#include <cassert>
#include <cstdint>

#include "jet/format/data_page_format.h"
#include "jet/io/pager.h"
#include "jet/status.h"
#include "jet/util/bytes.h"

namespace jet {

struct RowSlot {
    std::uint16_t start = 0, end = 0; // body bytes [start, end) of the page
    bool deleted = false;
    bool overflow = false; // the body is a pointer to where the row really is
};

// True when `page` is a data page of the table whose TDEF page is `owner`.
bool isDataPageOf(const Page& page, std::uint32_t owner);

// The number of slots a data page lists, and where the lowest row body
// starts (the page end when there is none).
// REQUIRES (lowestBodyStart): the slot table fits on the page.
std::uint16_t slotCountOf(const Page& page);
std::size_t lowestBodyStart(const Page& page);

class DataPage {
public:
    // Accepts a data page whose slot table fits on the page.
    static Status open(PageRef page, std::uint32_t pgno, DataPage* out);

    std::uint32_t owner() const { return le32(&page_->bytes[data_page::kOwner]); }
    std::uint16_t slotCount() const { return slotCountOf(*page_); }
    std::uint32_t pageNumber() const { return pgno_; }
    // Bounds of slot `i`; a live slot outside the page's body area is
    // Corrupt.
    // REQUIRES: i < slotCount().
    Status slot(std::uint16_t i, RowSlot* out) const;
    // REQUIRES: `s` is a slot of this page that slot() accepted.
    ByteSpan body(const RowSlot& s) const {
        assert(s.start <= s.end && s.end <= kPageSize);
        return ByteSpan(page_->bytes.data() + s.start, s.end - s.start);
    }
    // Reads a live slot that must exist (long values, usage maps).
    Status liveSlot(std::uint16_t i, const char* what, RowSlot* out) const;
    // Reads a slot that must exist whatever its flags (the target of an
    // overflow pointer is flagged deleted so that scans skip it).
    Status anySlot(std::uint16_t i, const char* what, RowSlot* out) const;

private:
    // Reads slot `i` into `out`; false when its bounds leave the body area.
    // REQUIRES: i < slotCount().
    bool inside(std::uint16_t i, RowSlot* out) const;
    Status outside(std::uint16_t i) const;

    PageRef page_;
    std::uint32_t pgno_ = 0;
};

} // namespace jet
