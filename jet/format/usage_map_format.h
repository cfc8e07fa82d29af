// Layout of a usage map, a set of page numbers stored in a row of a data
// page, and of the bitmap pages a large map lists.
//
// An inline map: the type byte, the first page it covers (u32) and a
// bitmap. A reference map: the type byte and a list of bitmap pages (u32
// each, 0 = none), the i-th covering kPagesPerBitmapPage pages from
// i * kPagesPerBitmapPage.
#pragma once

#include <cstddef>
#include <cstdint>

#include "jet/format/page_format.h"
#include "jet/io/pager.h"

namespace jet {

constexpr std::size_t kMapType = 0; // u8: kInlineMap or kReferenceMap
constexpr std::uint8_t kInlineMap = 0x00;
constexpr std::uint8_t kReferenceMap = 0x01;
constexpr std::size_t kInlineMapStart = 1; // u32: the page of bit 0
constexpr std::size_t kInlineMapHeader = 5;
constexpr std::size_t kBitmapPageList = 1;
constexpr std::size_t kBitmapPagePointer = 4;
// Where the pointer to bitmap page `i` of a reference map is stored.
constexpr std::size_t bitmapPageAt(std::size_t i) { return kBitmapPageList + kBitmapPagePointer * i; }

// A bitmap page: the page header (type kBitmapPageType), then bits.
constexpr std::size_t kBitmapOffset = 4;
constexpr std::uint32_t kPagesPerBitmapPage = (kPageSize - kBitmapOffset) * 8;

// The global allocation map is row 0 of this page; a set bit means free.
constexpr std::uint32_t kGlobalMapPage = 1;

} // namespace jet
