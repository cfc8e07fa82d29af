// Changes to data pages (table rows, long values, usage maps) made in a
// page buffer: a fresh page, a new row at the end of the slot table, a row
// made longer in place.
#pragma once

#include <cstdint>

#include "jet/util/bytes.h"
#include "jet/io/pager.h"
#include "jet/status.h"

namespace jet {

// An empty data page of `owner` (a TDEF page, kLvalOwner, or 0 for usage maps).
void initDataPage(std::uint32_t owner, Page* page);

// Free bytes between the slot table and the lowest row body, as computed
// from the slots (the stored field is not trusted).
std::size_t dataPageGap(const Page& page);

// Adds a row below the lowest body and returns its slot.
// REQUIRES: a slot left and the row's length + 2 bytes free.
std::uint8_t addDataRow(Page* page, ByteSpan body);

// A data page taking one new row after another, kept in memory until
// written. It remembers where the lowest row body starts, so a row costs the
// same however many the page already holds.
class FillingPage {
public:
    // An empty page; its number is given once the page is allocated.
    void start(std::uint32_t owner);
    void numbered(std::uint32_t pgno) { pgno_ = pgno; }
    void adopt(const Page& page, std::uint32_t pgno); // a page that may already hold rows
    std::uint32_t pgno() const { return pgno_; }      // 0 = none yet
    bool fits(std::size_t length) const;              // a slot left and length + 2 bytes free
    // REQUIRES: fits(body.size()).
    std::uint8_t add(ByteSpan body);
    const Page& page() const { return page_; }
    // Hands the page to the pager when rows were added since the last time.
    Status write(Pager& pager);

private:
    Page page_;
    std::uint32_t pgno_ = 0;
    std::size_t low_ = kPageSize;
    bool dirty_ = false;
};

// Makes row `slot` `grow` bytes longer, keeping its bytes at its start and
// moving the rows stored below it; the new bytes are zero. Refused when the
// page has no room or its rows are not stored in slot order.
Status growDataRow(Page* page, std::uint32_t pgno, std::uint8_t slot, std::size_t grow);

} // namespace jet
