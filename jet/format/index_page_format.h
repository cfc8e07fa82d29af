// Layout of a page of an index B-tree: a leaf (entries pointing at rows,
// type kIndexLeafPage) or an intermediate page (entries pointing at child
// pages, kIndexNodePage).
//
// A header, a bitmap whose set bits mark where each entry ends (bit p: an
// entry ends p bytes into the entry area), and the entry area, entries
// packed in increasing order. With a prefix length P > 0 every entry after
// the first is stored without its first P bytes, which it shares with the
// first entry. An entry is the key, then the row's page (3 bytes
// big-endian) and row number; an intermediate entry carries a copy of the
// last leaf entry of its child's subtree and then the child page (4 bytes
// big-endian).
#pragma once

#include <cstddef>
#include <cstdint>

#include "jet/format/page_format.h"
#include "jet/io/pager.h"

namespace jet {

namespace index_page {

constexpr std::size_t kFreeSpace = 2;     // u16: bytes of the entry area not used
constexpr std::size_t kOwner = 4;         // u32: the table's TDEF page
constexpr std::size_t kPrevPage = 12;     // u32: sibling on the same level, 0 = none
constexpr std::size_t kNextPage = 16;     // u32
constexpr std::size_t kTailPage = 20;     // u32: the last child of an intermediate page, no entry's
constexpr std::size_t kPrefixLength = 24; // u16
constexpr std::size_t kMark = 26;         // u8: 0 on leaves, 1 on intermediate pages

} // namespace index_page

constexpr std::size_t kIndexBitmapOffset = 27;
constexpr std::size_t kIndexBitmapBytes = 453;
constexpr std::size_t kIndexEntriesOffset = 480;
constexpr std::size_t kIndexEntryCapacity = kPageSize - kIndexEntriesOffset; // 3616 bytes
constexpr std::size_t kRowPointerBytes = 4;                                  // at the end of a leaf entry
constexpr std::size_t kChildPointerBytes = 4;                                // at the end of an intermediate entry

} // namespace jet
