// Adding one entry to an index B-tree: the entry goes to its sorted place in
// the right leaf, the copies of a subtree's last entry held by the pages
// above follow, and a page that overflows splits, the root growing the tree
// by one level while keeping its page number.
#pragma once

#include <cstdint>
#include <span>

#include "jet/pager.h"
#include "jet/row_pointer.h"
#include "jet/status.h"

namespace jet {

// The pages an index lives on. allocate() places a new page and records it
// wherever the index's pages are recorded (global map, index usage map).
class IndexPageStore {
public:
    virtual ~IndexPageStore() = default;
    virtual Status read(std::uint32_t pgno, PageRef* out) = 0;
    virtual Status write(std::uint32_t pgno, const Page& page) = 0;
    virtual Status allocate(const Page& content, std::uint32_t* pgno) = 0;
};

// An index's pages in a database file: new pages are taken from the global
// allocation map and added to the index's usage map.
class PagerIndexStore : public IndexPageStore {
public:
    PagerIndexStore(Pager& pager, RowPointer usageMap) : pager_(pager), usageMap_(usageMap) {}
    Status read(std::uint32_t pgno, PageRef* out) override { return pager_.read(pgno, out); }
    Status write(std::uint32_t pgno, const Page& page) override { return pager_.write(pgno, page); }
    Status allocate(const Page& content, std::uint32_t* pgno) override;

private:
    Pager& pager_;
    RowPointer usageMap_;
};

// Entries larger than this are refused: two of them always fit on a page,
// so any split finds room for both halves.
constexpr std::size_t kMaxInsertedEntry = 1800;

// Whether some entry of the tree at `root` has exactly the key `key`.
Status indexHasKey(IndexPageStore& store, std::uint32_t root, std::span<const std::uint8_t> key, bool* found);

// Inserts the entry of `row` with key `key` into the tree at `root`, whose
// pages belong to the table with TDEF page `owner`. With `unique`, a key
// already present is Refused and nothing is written. `newKey` (optional)
// tells whether no other entry had the same key (the distinct-key counter
// of the index then goes up by one). A failure after the first write
// (a damaged tree, a failed allocation) leaves the tree partly changed: run
// inside a transaction and roll it back.
Status insertIndexEntry(IndexPageStore& store, std::uint32_t root, std::uint32_t owner,
                        std::span<const std::uint8_t> key, RowPointer row, bool unique, bool* newKey = nullptr);

} // namespace jet
