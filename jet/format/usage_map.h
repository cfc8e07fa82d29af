// Usage maps: sets of page numbers stored either inline in a row (start page
// plus bitmap) or as a list of bitmap pages.
#pragma once

#include <cstdint>
#include <vector>

#include "jet/io/pager.h"
#include "jet/format/row_pointer.h"
#include "jet/status.h"

namespace jet {

// The stored form. An inline map is a type byte, the first page it covers
// and a bitmap; a reference map is a type byte and a list of bitmap pages,
// each covering kPagesPerBitmapPage pages from i * kPagesPerBitmapPage.
constexpr std::uint8_t kInlineMap = 0x00;
constexpr std::uint8_t kReferenceMap = 0x01;
constexpr std::size_t kInlineMapHeader = 5;
constexpr std::uint8_t kBitmapPageType = 0x05;
constexpr std::size_t kBitmapOffset = 4;
constexpr std::uint32_t kPagesPerBitmapPage = (kPageSize - kBitmapOffset) * 8;
// The global allocation map is row 0 of this page; a set bit means free.
constexpr std::uint32_t kGlobalMapPage = 1;

// The member pages of the map stored in row `where`, in ascending order.
// A member past the end of the file is Corrupt.
Status readUsageMap(Pager& pager, RowPointer where, std::vector<std::uint32_t>* pages);

// The pages the global allocation map (page 1, row 0) marks free, in
// ascending order; its bits for pages past the end of the file (and bitmap
// pages past it) are ignored.
Status readFreePages(Pager& pager, std::vector<std::uint32_t>* pages);

} // namespace jet
