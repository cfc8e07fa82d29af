// Walks one index B-tree from its root and returns its leaf entries in key
// order, checking the tree on the way: page types and owner, free space,
// that each intermediate entry repeats the last entry of its child's
// subtree, that all leaves sit at the same depth, that entries strictly
// increase and that the leaf sibling chain links exactly the leaves in
// order. A damaged tree (loops, pages reached twice, pages past the end of
// the file) ends the walk with Corrupt; it never loops or recurses without
// bound.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "jet/index/index_page.h"
#include "jet/io/pager.h"
#include "jet/format/row_pointer.h"
#include "jet/status.h"

namespace jet {

// Reads one page; Pager::read fits.
using PageReader = std::function<Status(std::uint32_t pgno, PageRef* out)>;

// Reads page `pgno` and decodes it as an index page of the table whose TDEF
// page is `owner`, its entries in one list (see parseIndexPage).
Status readIndexPage(const PageReader& read, std::uint32_t pgno, std::uint32_t owner, IndexPage* header,
                     EntryList* entries);

struct LeafEntry {
    Bytes key; // without the row pointer
    RowPointer row;
    std::uint32_t leafPage = 0;
};

struct IndexWalk {
    std::vector<LeafEntry> entries;   // in key order (left empty by a walk with an EntryVisitor)
    std::vector<std::uint32_t> pages; // every page of the tree, in walking order
    std::uint32_t leaves = 0;
    std::uint32_t depth = 0; // 1 for a tree that is a single leaf
};

constexpr std::uint32_t kMaxIndexDepth = 32;

// Walks the tree rooted at `root` whose pages belong to the table whose
// TDEF page is `owner`.
Status walkIndex(const PageReader& read, std::uint32_t root, std::uint32_t owner, IndexWalk* out);

// One leaf entry as the walk meets it, in key order; `key` (without the row
// pointer) lasts only for the call.
using EntryVisitor = std::function<void(std::span<const std::uint8_t> key, RowPointer row, std::uint32_t leafPage)>;

// As above, but hands each leaf entry to `visit` instead of keeping it, so
// that a tree of any size is walked in little memory. Entries already
// handed over stay valid only if the walk succeeds: a tree found damaged
// later fails the walk as before.
Status walkIndex(const PageReader& read, std::uint32_t root, std::uint32_t owner, const EntryVisitor& visit,
                 IndexWalk* out);

} // namespace jet
