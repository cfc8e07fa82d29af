#include "jet/index_insert.h"

#include <algorithm>
#include <optional>

#include "jet/corrupt.h"
#include "jet/index_page.h"
#include "jet/index_walk.h"
#include "jet/page_alloc.h"

namespace jet {
namespace {

using ByteView = std::span<const std::uint8_t>;

bool lessThan(ByteView a, ByteView b) { return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end()); }
bool sameBytes(ByteView a, ByteView b) { return std::equal(a.begin(), a.end(), b.begin(), b.end()); }

Status corrupt(std::uint32_t pgno, const std::string& what) { return corruptAt(pgno, "index: " + what); }

Status load(IndexPageStore& store, std::uint32_t pgno, IndexPage* out) {
    PageRef ref;
    JET_TRY(store.read(pgno, &ref));
    return parseIndexPage(*ref, pgno, out);
}

// The leaf-entry part of a page's last entry: what the page above stores for it.
Bytes lastLeafEntry(const IndexPage& page) {
    if (page.isLeaf()) return page.entries.back();
    const ByteView e = nodeLeafEntry(page.entries.back());
    return Bytes(e.begin(), e.end());
}

// Where a search for `e` goes down: the first stored entry not below `e`;
// past them the tail, or the last stored entry when there is no tail.
std::size_t childSlot(const IndexPage& node, ByteView e) {
    std::size_t i = 0;
    while (i < node.entries.size() && lessThan(nodeLeafEntry(node.entries[i]), e)) ++i;
    if (i == node.entries.size() && node.tail == 0) --i;
    return i;
}

std::uint32_t childAt(const IndexPage& node, std::size_t slot) {
    return slot < node.entries.size() ? nodeChild(node.entries[slot]) : node.tail;
}

Status descend(IndexPageStore& store, std::uint32_t root, ByteView e, std::uint32_t* pgno, IndexPage* leaf) {
    *pgno = root;
    for (std::uint32_t depth = 1; depth <= kMaxIndexDepth; ++depth) {
        JET_TRY(load(store, *pgno, leaf));
        if (leaf->isLeaf()) return Status::ok();
        if (leaf->entries.empty() && leaf->tail == 0) return corrupt(*pgno, "uzol bez potomkov");
        *pgno = childAt(*leaf, childSlot(*leaf, e));
    }
    return corrupt(root, "strom indexu je príliš hlboký");
}

// The entries just below and just above `e`, looking into the sibling
// leaves when `e` falls at either end of its leaf.
Status neighbours(IndexPageStore& store, std::uint32_t root, ByteView e, std::optional<Bytes>* below,
                  std::optional<Bytes>* above) {
    std::uint32_t pgno;
    IndexPage leaf;
    JET_TRY(descend(store, root, e, &pgno, &leaf));
    auto pos = std::partition_point(leaf.entries.begin(), leaf.entries.end(),
                                    [&](const Bytes& x) { return lessThan(x, e); });
    if (pos != leaf.entries.end() && sameBytes(*pos, e)) ++pos; // the entry itself
    IndexPage sibling;
    if (pos != leaf.entries.begin()) *below = *(pos - 1);
    else if (leaf.prev && load(store, leaf.prev, &sibling).isOk() && !sibling.entries.empty()) *below = sibling.entries.back();
    if (pos != leaf.entries.end()) *above = *pos;
    else if (leaf.next && load(store, leaf.next, &sibling).isOk() && !sibling.entries.empty()) *above = sibling.entries.front();
    return Status::ok();
}

bool fits(const IndexPage& page) {
    return storedSize(page.entries, sharedPrefix(page.entries)) <= kIndexEntryCapacity;
}

// The number of entries that stay in the lower page of a split: all but the
// new last one when appending at the right edge (keeps appended trees
// dense), otherwise the split that balances the bytes of the two pages.
std::size_t splitPoint(const IndexPage& page, bool rightEdgeAppend) {
    const std::size_t n = page.entries.size();
    if (rightEdgeAppend) return n - 1;
    const std::size_t total = storedSize(page.entries, 0);
    std::size_t best = 1, bestLarger = total, lower = 0;
    for (std::size_t k = 1; k < n; ++k) {
        lower += page.entries[k - 1].size();
        const std::size_t larger = std::max(lower, total - lower);
        if (larger < bestLarger) {
            best = k;
            bestLarger = larger;
        }
    }
    return best;
}

// An intermediate page keeps its last child as the tail when it has two or more.
void keepTail(IndexPage& node) {
    if (node.isLeaf() || node.tail != 0 || node.entries.size() < 2) return;
    node.tail = nodeChild(node.entries.back());
    node.entries.pop_back();
}

// What an insertion below a page means for the page above it.
struct Outcome {
    std::optional<Bytes> newLast;   // the subtree's new last leaf entry
    std::optional<Bytes> lowerPage; // entry for a new page that took the lower part of a split
};

class Inserter {
public:
    Inserter(IndexPageStore& store, std::uint32_t root, std::uint32_t owner) : store_(store), root_(root), owner_(owner) {}

    Status insert(std::uint32_t pgno, std::uint32_t depth, const Bytes& e, Outcome* out) {
        if (depth > kMaxIndexDepth) return corrupt(root_, "strom indexu je príliš hlboký");
        IndexPage page;
        JET_TRY(load(store_, pgno, &page));
        if (page.owner != owner_) return corrupt(pgno, "patrí inej tabuľke");
        bool rightEdgeAppend = false;
        if (page.isLeaf()) {
            auto pos = std::partition_point(page.entries.begin(), page.entries.end(),
                                            [&](const Bytes& x) { return lessThan(x, e); });
            if (pos != page.entries.end() && *pos == e)
                return Status::error(Status::Code::InvalidArgument, "Riadok už v indexe má záznam");
            const bool last = pos == page.entries.end();
            page.entries.insert(pos, e);
            if (last) out->newLast = e;
            rightEdgeAppend = last && page.next == 0 && page.entries.size() > 1;
        } else {
            if (page.entries.empty() && page.tail == 0) return corrupt(pgno, "uzol bez potomkov");
            const std::size_t slot = childSlot(page, e);
            const std::uint32_t child = childAt(page, slot);
            Outcome below;
            JET_TRY(insert(child, depth + 1, e, &below));
            const bool isTail = slot == page.entries.size();
            const bool lastChild = isTail || (slot + 1 == page.entries.size() && page.tail == 0);
            if (!below.newLast && !below.lowerPage) return Status::ok();
            if (below.newLast) {
                if (!isTail) page.entries[slot] = makeNodeEntry(*below.newLast, child);
                if (lastChild) out->newLast = below.newLast;
            }
            if (below.lowerPage) page.entries.insert(page.entries.begin() + slot, *below.lowerPage);
            keepTail(page);
        }
        if (fits(page)) return write(pgno, page);
        if (pgno == root_) return splitRoot(page, rightEdgeAppend);
        return split(pgno, page, rightEdgeAppend, out);
    }

private:
    Status write(std::uint32_t pgno, IndexPage& page) {
        Page bytes;
        JET_TRY(lay(page, &bytes));
        return store_.write(pgno, bytes);
    }

    // Prefix compression only when the entries need it.
    static Status lay(IndexPage& page, Page* out) {
        page.prefixLength = storedSize(page.entries, 0) <= kIndexEntryCapacity
                                ? 0
                                : static_cast<std::uint16_t>(sharedPrefix(page.entries));
        return buildIndexPage(page, out);
    }

    Status allocate(IndexPage& page, std::uint32_t* pgno) {
        Page bytes;
        JET_TRY(lay(page, &bytes));
        return store_.allocate(bytes, pgno);
    }

    // Moves the lower part of `page` to a new page linked before it.
    Status splitOff(std::uint32_t pgno, IndexPage& page, bool rightEdgeAppend, Bytes* lowerEntry) {
        IndexPage lower;
        lower.type = page.type;
        lower.mark = page.mark;
        lower.owner = owner_;
        lower.prev = page.prev;
        lower.next = pgno;
        const auto cut = page.entries.begin() + static_cast<std::ptrdiff_t>(splitPoint(page, rightEdgeAppend));
        lower.entries.assign(page.entries.begin(), cut);
        page.entries.erase(page.entries.begin(), cut);
        const Bytes lowerLast = lastLeafEntry(lower);
        keepTail(lower);
        std::uint32_t lowerPgno;
        JET_TRY(allocate(lower, &lowerPgno));
        if (page.prev != 0) {
            IndexPage before;
            JET_TRY(load(store_, page.prev, &before));
            before.next = lowerPgno;
            JET_TRY(write(page.prev, before));
        }
        page.prev = lowerPgno;
        *lowerEntry = makeNodeEntry(lowerLast, lowerPgno);
        return Status::ok();
    }

    Status split(std::uint32_t pgno, IndexPage& page, bool rightEdgeAppend, Outcome* out) {
        Bytes lowerEntry;
        JET_TRY(splitOff(pgno, page, rightEdgeAppend, &lowerEntry));
        out->lowerPage = std::move(lowerEntry);
        return write(pgno, page);
    }

    // The root keeps its page number: its content moves to a new page, which
    // splits in two, and the root becomes the intermediate page above them.
    Status splitRoot(IndexPage& page, bool rightEdgeAppend) {
        IndexPage upper = page;
        upper.prev = upper.next = 0;
        IndexPage placeholder; // the upper page's number is needed before its content
        placeholder.type = page.type;
        placeholder.mark = page.mark;
        placeholder.owner = owner_;
        std::uint32_t upperPgno;
        JET_TRY(allocate(placeholder, &upperPgno));
        Bytes lowerEntry;
        JET_TRY(splitOff(upperPgno, upper, rightEdgeAppend, &lowerEntry));
        JET_TRY(write(upperPgno, upper));
        IndexPage root;
        root.type = kIndexNodePage;
        root.mark = 1;
        root.owner = owner_;
        root.entries = {lowerEntry};
        root.tail = upperPgno;
        return write(root_, root);
    }

    IndexPageStore& store_;
    std::uint32_t root_;
    std::uint32_t owner_;
};

} // namespace

Status PagerIndexStore::allocate(const Page& content, std::uint32_t* pgno) {
    JET_TRY(allocatePage(pager_, content, pgno));
    return setMapMember(pager_, usageMap_, *pgno, true);
}

Status indexHasKey(IndexPageStore& store, std::uint32_t root, std::span<const std::uint8_t> key, bool* found) {
    std::optional<Bytes> below, above;
    JET_TRY(neighbours(store, root, key, &below, &above));
    *found = above && sameBytes(leafKey(*above), key);
    return Status::ok();
}

Status insertIndexEntry(IndexPageStore& store, std::uint32_t root, std::uint32_t owner,
                        std::span<const std::uint8_t> key, RowPointer row, bool unique, bool* newKey) {
    if (row.page >= (1u << 24)) return Status::error(Status::Code::InvalidArgument, "Riadok leží za hranicou súboru");
    const Bytes e = makeLeafEntry(key, row);
    if (e.size() + kChildPointerBytes > kMaxInsertedEntry)
        return Status::error(Status::Code::TooLarge, "Kľúč indexu je príliš dlhý");
    std::optional<Bytes> below, above;
    JET_TRY(neighbours(store, root, e, &below, &above));
    const bool present = (below && sameBytes(leafKey(*below), key)) || (above && sameBytes(leafKey(*above), key));
    if (unique && present)
        return Status::error(Status::Code::Refused, "Hodnota kľúča sa v jedinečnom indexe už nachádza");
    if (newKey) *newKey = !present;
    Outcome out;
    return Inserter(store, root, owner).insert(root, 1, e, &out);
}

} // namespace jet
