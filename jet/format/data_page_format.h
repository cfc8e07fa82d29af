// Layout of a data page: table rows, long-value chunks and usage maps.
//
// A header, then a slot table growing down the page while the row bodies
// are stored from the end of the page up. Slot i holds where body i starts;
// it ends where body i - 1 starts (body 0 at the end of the page).
#pragma once

#include <cstddef>
#include <cstdint>

#include "jet/format/page_format.h"
#include "jet/io/pager.h"

namespace jet {

// The owner of the pages that hold long values: "LVAL".
constexpr std::uint32_t kLvalOwner = 0x4C41564C;

namespace data_page {

constexpr std::size_t kFreeSpace = 2;  // u16: bytes between the slot table and the lowest body
constexpr std::size_t kOwner = 4;      // u32: the table's TDEF page, kLvalOwner, or 0 for usage maps
constexpr std::size_t kSlotCount = 12; // u16
constexpr std::size_t kSlotTable = 14; // u16 per slot: flags and body start
constexpr std::size_t kSlotSize = 2;

// Flags and offset of a slot.
constexpr std::uint16_t kDeleted = 0x8000;
constexpr std::uint16_t kOverflow = 0x4000; // the body points to where the row really is
constexpr std::uint16_t kOffsetMask = 0x1FFF;

// Row pointers address a slot with one byte; we fill a page up to 255.
constexpr std::size_t kMaxSlots = 256;
constexpr std::size_t kMaxSlotsWritten = 255;
constexpr std::size_t kEmptySpace = kPageSize - kSlotTable; // 4082

// Where slot `i` is stored.
constexpr std::size_t slotAt(std::size_t i) { return kSlotTable + kSlotSize * i; }

} // namespace data_page
} // namespace jet
