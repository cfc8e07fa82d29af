// One page of an index B-tree, decoded and built (its layout is in
// format/index_page_format.h). Entries are byte strings compared with
// memcmp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "jet/util/bytes.h"
#include "jet/index/entry_list.h"
#include "jet/io/pager.h"
#include "jet/format/index_page_format.h"
#include "jet/format/row_pointer.h"
#include "jet/status.h"
#include "jet/value.h"

namespace jet {

struct IndexPage {
    std::uint8_t type = kIndexLeafPage;
    std::uint16_t freeSpace = 0;      // as stored
    std::uint32_t owner = 0;          // TDEF page of the table
    std::uint32_t prev = 0, next = 0; // siblings on the same level, 0 = none
    std::uint32_t tail = 0;           // intermediate: the last child, described by no entry
    std::uint16_t prefixLength = 0;
    std::uint8_t mark = 0;      // 0 on leaves, 1 on intermediate pages
    std::vector<Bytes> entries; // full entries, prefix restored
    std::size_t usedBytes = 0;  // bytes the entries take on the page

    bool isLeaf() const { return type == kIndexLeafPage; }
    // What the free-space field should say.
    std::uint16_t computedFreeSpace() const { return static_cast<std::uint16_t>(kIndexEntryCapacity - usedBytes); }
};

// Decodes an index page of the table whose TDEF page is `owner`. Corrupt
// (naming `pgno`) when it is not an index page, belongs to another table,
// or its bitmap, prefix or entries cannot be right. The free-space field is
// not judged here: compare it with computedFreeSpace().
Status parseIndexPage(const Page& page, std::uint32_t pgno, std::uint32_t owner, IndexPage* out);
// The same with the entries in one list (header->entries stays empty):
// no allocation per entry.
Status parseIndexPage(const Page& page, std::uint32_t pgno, std::uint32_t owner, IndexPage* header, EntryList* entries);

// Looks for `x` among the entries of a stored page without decoding them
// all: a binary search over where entries start, reading only the entries
// it compares (so only the header and those entries are checked). *at is
// the first entry not less than `x` with its prefix restored, empty when
// every entry is less. For a leaf that is looked at once.
Status findInIndexPage(const Page& page, std::uint32_t pgno, std::uint32_t owner, ByteSpan x, IndexPage* header,
                       Bytes* at);

// Lays out a whole page from `page` (its usedBytes and freeSpace are
// recomputed, its prefix length honoured). TooLarge when the entries do not
// fit; InvalidArgument when the prefix is longer than the entries share.
Status buildIndexPage(const IndexPage& page, Page* out);
// The same from the entries of a list (header.entries unused).
Status buildIndexPage(const IndexPage& header, const EntryList& entries, Page* out);

// Parts of entries.
// REQUIRES: the entry is longer than its pointer (parseIndexPage makes sure
// of it for every entry it returns).
std::span<const std::uint8_t> leafKey(ByteSpan leafEntry);
RowPointer leafRow(ByteSpan leafEntry);
std::span<const std::uint8_t> nodeLeafEntry(ByteSpan nodeEntry); // without the child
std::uint32_t nodeChild(ByteSpan nodeEntry);

// Entries built from their parts.
Bytes makeLeafEntry(std::span<const std::uint8_t> key, RowPointer row);
// Turns a key into its leaf entry by adding the row's pointer.
void appendRowPointer(Bytes* key, RowPointer row);
Bytes makeNodeEntry(std::span<const std::uint8_t> leafEntry, std::uint32_t child);

} // namespace jet
