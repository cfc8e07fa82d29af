#include "jet/index/index_tree.h"

#include <algorithm>
#include <cassert>

#include "jet/util/corrupt.h"
#include "jet/index/index_walk.h"
#include "jet/format/page_alloc.h"

namespace jet {
namespace {

// Decoded pages kept between inserts (some 10 KiB each); past this the
// least recently used quarter is written back and read again as needed.
constexpr std::size_t kMaxCachedPages = 1024;
// Decoded pages a released tree keeps.
constexpr std::size_t kReleasedPages = 16;

// A leaf entry the tree takes: a key besides its row pointer, and short
// enough for any full page to be split.
bool storable(ByteSpan entry) { return entry.size() > kRowPointerBytes && entry.size() <= kMaxIndexEntry; }

// What a node entry compares by: the leaf entry it repeats.
ByteSpan routeKey(ByteSpan nodeEntry) { return nodeLeafEntry(nodeEntry); }
ByteSpan wholeEntry(ByteSpan leafEntry) { return leafEntry; }

// Entries [from, to) of a sorted list fit on one page, stored with the
// prefix they all share (that of the first and the last).
bool rangeFits(const EntryList& entries, std::size_t from, std::size_t to) {
    const std::size_t bytes = entries.bytes(from, to);
    if (bytes <= kIndexEntryCapacity) return true;
    if (to - from < 2) return false;
    return bytes - (to - from - 1) * entries.sharedPrefix(from, to) <= kIndexEntryCapacity;
}

// The last leaf entry at or below a page: its own last entry, or the leaf
// entry that an intermediate page's last entry repeats.
// REQUIRES: the page has entries.
ByteSpan lastLeafEntry(const IndexPage& page, const EntryList& entries) {
    assert(!entries.empty());
    return page.isLeaf() ? entries.back() : routeKey(entries.back());
}

// The child of an intermediate page that a descent goes on to.
struct Route {
    std::uint32_t child = 0;
    long index = 0; // the entry followed, -1 for the tail
};

// Where an intermediate page sends `entry`: the child of the first entry
// not below it; past them all, the tail or (with no tail) the last child.
Status routeOf(const IndexPage& page, const EntryList& entries, std::uint32_t pgno, ByteSpan entry, Route* out) {
    const std::size_t pos = entries.lowerBound(entry, routeKey);
    if (pos != entries.size()) *out = {nodeChild(entries[pos]), static_cast<long>(pos)};
    else if (page.tail != 0) *out = {page.tail, -1};
    else if (!entries.empty()) *out = {nodeChild(entries.back()), static_cast<long>(entries.size()) - 1};
    else return corruptAt(pgno, "index: uzol bez potomkov");
    return Status::OK();
}

// Whether `entry` belongs in this leaf whatever the other leaves hold: it
// lies strictly between the leaf's first and last entries, or beyond an
// end that has no neighbour.
bool leafCovers(const IndexPage& page, const EntryList& entries, ByteSpan entry) {
    if (entries.empty()) return page.prev == 0 && page.next == 0;
    const bool afterFirst = page.prev == 0 || entryLess(entries.front(), entry);
    const bool beforeLast = page.next == 0 || entryLess(entry, entries.back());
    return afterFirst && beforeLast;
}

// Where a full page is cut: entries [0, cut) go to a new left sibling.
// The left page gets at least half the bytes. Within a batch entries come
// in their order, so the left page is done with once the entry just added
// lies in it: it keeps every entry up to that one, as far as they fit
// (entries appended at the end leave the left page full and the right one
// nearly empty). `added` is the position of the entry just added, -1 when
// unknown.
// REQUIRES: at least two entries.
std::size_t splitPoint(const EntryList& entries, long added) {
    const std::size_t count = entries.size();
    assert(count >= 2);
    const std::size_t half = entries.bytes() / 2;
    std::size_t even = 0;
    while (even + 1 < count && entries.bytes(0, even + 1) <= half) ++even;
    even = std::max<std::size_t>(even, 1);
    if (added < 0) return even;
    std::size_t cut = std::max(even, std::min(static_cast<std::size_t>(added) + 1, count - 1));
    while (cut > even && !rangeFits(entries, 0, cut)) --cut;
    return rangeFits(entries, cut, count) ? cut : even;
}

// How many leading entries of the sorted `entries` are below `bound`: the
// run's end is bracketed by steps that double from the front, then halved,
// so a short run costs few comparisons however many entries follow it.
std::size_t leadingBelow(std::span<const ByteSpan> entries, ByteSpan bound) {
    std::size_t known = 0, step = 1; // entries[0, known) are below
    while (known + step <= entries.size() && entryLess(entries[known + step - 1], bound)) {
        known += step;
        step *= 2;
    }
    const auto end = entries.begin() + static_cast<std::ptrdiff_t>(std::min(known + step - 1, entries.size()));
    return static_cast<std::size_t>(std::partition_point(entries.begin() + static_cast<std::ptrdiff_t>(known), end,
                                                         [&](ByteSpan e) { return entryLess(e, bound); }) -
                                    entries.begin());
}

} // namespace

// Stored with the longest shared prefix, the entries fit on a page.
bool IndexTree::fits(const Node& node) { return rangeFits(node.entries, 0, node.entries.size()); }

IndexTree::Node* IndexTree::cached(std::uint32_t pgno) {
    if (last_ && last_->first == pgno) {
        last_->second->used = ++clock_;
        return last_->second.get();
    }
    auto it = cache_.find(pgno);
    if (it == cache_.end()) return nullptr;
    it->second->used = ++clock_;
    last_ = &*it;
    return it->second.get();
}

Status IndexTree::readPage(std::uint32_t pgno, PageRef* ref) {
    if (pgno == 0 || pgno >= pager_->pageCount()) return corruptAt(pgno, "index ukazuje mimo súboru");
    return pager_->read(pgno, ref);
}

Status IndexTree::load(std::uint32_t pgno, Node** out) {
    if ((*out = cached(pgno)) != nullptr) return Status::OK();
    PageRef ref;
    JET_TRY(readPage(pgno, &ref));
    return decode(pgno, *ref, out);
}

Status IndexTree::decode(std::uint32_t pgno, const Page& page, Node** out) {
    auto node = std::make_unique<Node>();
    JET_TRY(parseIndexPage(page, pgno, owner_, &node->page, &node->entries));
    *out = adopt(pgno, std::move(node));
    return Status::OK();
}

IndexTree::Node* IndexTree::adopt(std::uint32_t pgno, std::unique_ptr<Node> node) {
    node->used = ++clock_;
    return cache_.emplace(pgno, std::move(node)).first->second.get();
}

Status IndexTree::descend(ByteSpan entry, std::vector<Step>* path) {
    pathReusable_ = false;
    JET_TRY(toLeaf(entry, path, nullptr));
    pathReusable_ = true;
    return Status::OK();
}

// Follows `entry` from the root down to the leaf it belongs in, decoding
// and keeping the pages on the way. The leaf is decoded too, unless
// `stored` is given and the tree does not hold the leaf decoded: then
// *stored is the leaf as read, and its step's index is left 0.
Status IndexTree::toLeaf(ByteSpan entry, std::vector<Step>* path, PageRef* stored) {
    path->clear();
    std::uint32_t pgno = root_;
    for (std::uint32_t depth = 0; depth < kMaxIndexDepth; ++depth) {
        Node* node = cached(pgno);
        if (!node) {
            PageRef ref;
            JET_TRY(readPage(pgno, &ref));
            if (stored && ref->bytes[kPageTypeAt] == kIndexLeafPage) {
                *stored = std::move(ref);
                path->push_back({pgno, 0, false});
                return Status::OK();
            }
            JET_TRY(decode(pgno, *ref, &node));
        }
        const EntryList& entries = node->entries;
        if (node->page.isLeaf()) {
            const std::size_t pos = entries.lowerBound(entry, wholeEntry);
            path->push_back({pgno, static_cast<long>(pos), pos == entries.size()});
            return Status::OK();
        }
        Route route;
        JET_TRY(routeOf(node->page, entries, pgno, entry, &route));
        path->push_back({pgno, route.index, false});
        pgno = route.child;
    }
    return corruptAt(pgno, "index: strom je príliš hlboký");
}

// A lookup keeps the intermediate pages it passes decoded (they are few
// and every lookup passes them), but searches a leaf the tree does not
// hold where it is stored: the leaves lookups reach are as scattered as
// their keys, and decoding one for a single look costs more than the look.
Status IndexTree::contains(ByteSpan key, bool* found, std::optional<Bytes>* next) {
    JET_TRY(trimCache());
    Bytes& lowest = probe_;
    lowest.assign(key.begin(), key.end());
    lowest.resize(key.size() + kRowPointerBytes, 0);
    PageRef stored;
    JET_TRY(toLeaf(lowest, &lookup_, &stored));
    std::uint32_t after = 0;
    JET_TRY(entryAt(lookup_.back(), stored, lowest, &after));
    // Past the leaf's last entry, the next leaf's first one is the nearest.
    if (entry_.empty() && after != 0) JET_TRY(entryAt({after, 0, false}, {}, {}, &after));
    *found = !entry_.empty() && entryEqual(leafKey(entry_), key);
    if (next) *next = entry_.empty() && after != 0 ? std::nullopt : std::optional<Bytes>(entry_);
    return Status::OK();
}

// Into entry_ the entry at the leaf step `at` (empty past the last one), as
// the tree holds it decoded, or else as `stored` (read when null) holds it:
// there the first entry not less than `x`. *next is the leaf after it.
Status IndexTree::entryAt(const Step& at, PageRef stored, ByteSpan x, std::uint32_t* next) {
    if (!stored) {
        if (const Node* node = cached(at.pgno)) {
            const EntryList& entries = node->entries;
            if (static_cast<std::size_t>(at.index) < entries.size()) {
                const ByteSpan e = entries[static_cast<std::size_t>(at.index)];
                entry_.assign(e.begin(), e.end());
            } else {
                entry_.clear();
            }
            *next = node->page.next;
            return Status::OK();
        }
        JET_TRY(readPage(at.pgno, &stored));
    }
    IndexPage header;
    JET_TRY(findInIndexPage(*stored, at.pgno, owner_, x, &header, &entry_));
    *next = header.next;
    return Status::OK();
}

// The leaf that the last descent reached takes `entry` when the entry lies
// strictly inside the leaf's range (or beyond the end of the first or last
// leaf): the path to it then holds for the entry as well. Most inserts
// follow a lookup of the same key, or a neighbour of the previous insert.
Status IndexTree::reusePath(ByteSpan entry, bool* reused) {
    *reused = false;
    if (!pathReusable_) return Status::OK();
    Node* leaf = nullptr;
    JET_TRY(load(path_.back().pgno, &leaf));
    const EntryList& entries = leaf->entries;
    if (!leafCovers(leaf->page, entries, entry)) return Status::OK();
    const std::size_t pos = entries.lowerBound(entry, wholeEntry);
    path_.back().index = static_cast<long>(pos);
    path_.back().atEnd = pos == entries.size();
    *reused = true;
    return Status::OK();
}

// Whether the entry at `pos` of `leaf` (or, past its end, the first entry
// of the next leaf) carries `key`.
Status IndexTree::neighbourKey(const Node& leaf, long pos, ByteSpan key, bool* same) {
    const EntryList& entries = leaf.entries;
    *same = false;
    if (pos < 0) {
        if (leaf.page.prev == 0) return Status::OK();
        Node* prev = nullptr;
        JET_TRY(load(leaf.page.prev, &prev));
        if (!prev->entries.empty()) *same = entryEqual(leafKey(prev->entries.back()), key);
        return Status::OK();
    }
    if (static_cast<std::size_t>(pos) < entries.size()) {
        *same = entryEqual(leafKey(entries[pos]), key);
        return Status::OK();
    }
    if (leaf.page.next == 0) return Status::OK();
    Node* next = nullptr;
    JET_TRY(load(leaf.page.next, &next));
    if (!next->entries.empty()) *same = entryEqual(leafKey(next->entries.front()), key);
    return Status::OK();
}

Status IndexTree::insert(ByteSpan entry, bool* newKey) {
    if (!storable(entry)) return Status::error(Status::Code::Refused, "Kľúč indexu je príliš dlhý.");
    JET_TRY(trimCache());
    std::vector<Step>& path = path_;
    bool reused = false;
    JET_TRY(reusePath(entry, &reused));
    if (!reused) JET_TRY(descend(entry, &path));
    Node* leaf = nullptr;
    JET_TRY(load(path.back().pgno, &leaf));
    const long pos = path.back().index;
    const ByteSpan key = leafKey(entry);
    bool before = false, after = false;
    JET_TRY(neighbourKey(*leaf, pos - 1, key, &before));
    JET_TRY(neighbourKey(*leaf, pos, key, &after));
    *newKey = !before && !after;
    leaf->entries.insert(static_cast<std::size_t>(pos), entry);
    leaf->dirty = true;
    if (path.back().atEnd) JET_TRY(carryMaximum(path));
    for (std::size_t level = path.size(); level-- > 0;) {
        Node* node = nullptr;
        JET_TRY(load(path[level].pgno, &node));
        if (fits(*node)) break;
        pathReusable_ = false; // a split reshapes the levels above the leaf
        JET_TRY(split(&path, level));
        if (level == 0) break; // the root split moved everything one level down
    }
    return Status::OK();
}

Status IndexTree::insertRun(std::span<const ByteSpan> sorted, std::size_t* taken, std::size_t* newKeys) {
    assert(!sorted.empty());
    bool newKey = false;
    JET_TRY(insert(sorted.front(), &newKey));
    *taken = 1;
    *newKeys = newKey ? 1 : 0;
    if (!pathReusable_) return Status::OK(); // the leaf was split
    Node* leaf = nullptr;
    JET_TRY(load(path_.back().pgno, &leaf));
    const std::span<const ByteSpan> run = sorted.subspan(1, runInLeaf(*leaf, sorted.subspan(1)));
    if (run.empty()) return Status::OK();
    mergeIntoLeaf(leaf, run, newKeys);
    *taken += run.size();
    return Status::OK();
}

// How many leading entries of `rest` lie strictly between the leaf's first
// and last entries and still let it fit its page. Such entries change
// neither end of the leaf (so neither its parents nor the prefix its
// entries share) and, the page's bytes only growing with each, none of
// them one by one would have split it.
std::size_t IndexTree::runInLeaf(const Node& leaf, std::span<const ByteSpan> rest) const {
    const EntryList& entries = leaf.entries;
    if (entries.size() < 2 || rest.empty() || !entryLess(entries.front(), rest.front())) return 0;
    // Sorted, the rest lies past the first entry too; those below the last
    // entry are a leading run, found in steps that double.
    const std::size_t below = leadingBelow(rest, entries.back());
    const std::size_t prefix = entries.sharedPrefix(0, entries.size());
    std::size_t bytes = entries.bytes(), count = entries.size(), n = 0;
    for (; n < below; ++n) {
        const ByteSpan e = rest[n];
        if (!storable(e) || (bytes + e.size()) - count * prefix > kIndexEntryCapacity) break;
        bytes += e.size();
        ++count;
    }
    return n;
}

// Merges `run` into the leaf, counting the keys insert() would have called
// new: each entry's neighbours as it went in were the entry before it
// (old or added) and the old entry after it.
// REQUIRES: runInLeaf() took every entry of `run`.
void IndexTree::mergeIntoLeaf(Node* leaf, std::span<const ByteSpan> run, std::size_t* newKeys) {
    const EntryList& old = leaf->entries;
    EntryList merged;
    std::size_t runBytes = 0;
    for (const ByteSpan e : run) runBytes += e.size();
    merged.reserve(old.size() + run.size(), old.bytes() + runBytes);
    std::size_t i = 0;
    for (std::size_t k = 0; k < run.size(); ++k) {
        if (k + kFetchAhead < run.size()) __builtin_prefetch(run[k + kFetchAhead].data());
        const ByteSpan e = run[k];
        while (entryLess(old[i], e)) merged.pushBack(old[i++]);
        const ByteSpan key = leafKey(e);
        const bool before = entryEqual(leafKey(merged.back()), key), after = entryEqual(leafKey(old[i]), key);
        if (!before && !after) ++*newKeys;
        merged.pushBack(e);
    }
    while (i < old.size()) merged.pushBack(old[i++]);
    leaf->entries = std::move(merged);
    leaf->dirty = true;
}

// The leaf at the end of `path` has a new last entry: parents whose last
// child it is (directly or through their tail) learn the new maximum.
// REQUIRES: the path runs from the root to a leaf that has entries.
Status IndexTree::carryMaximum(const std::vector<Step>& path) {
    Node* leaf = nullptr;
    JET_TRY(load(path.back().pgno, &leaf));
    assert(leaf->page.isLeaf() && !leaf->entries.empty() && path.front().pgno == root_);
    const ByteSpan maximum = leaf->entries.back();
    for (std::size_t level = path.size() - 1; level-- > 0;) {
        Node* parent = nullptr;
        JET_TRY(load(path[level].pgno, &parent));
        EntryList& entries = parent->entries;
        const long index = path[level].index;
        if (index >= 0) {
            entries.replace(static_cast<std::size_t>(index), makeNodeEntry(maximum, nodeChild(entries[index])));
            parent->dirty = true;
            const bool lastChild = parent->page.tail == 0 && static_cast<std::size_t>(index) + 1 == entries.size();
            if (!lastChild) break;
        }
    }
    return Status::OK();
}

Status IndexTree::subtreeMax(std::uint32_t pgno, Bytes* out) {
    for (std::uint32_t depth = 0; depth < kMaxIndexDepth; ++depth) {
        Node* node = nullptr;
        JET_TRY(load(pgno, &node));
        const IndexPage& p = node->page;
        const EntryList& entries = node->entries;
        if (!p.isLeaf() && p.tail != 0) {
            pgno = p.tail;
            continue;
        }
        if (entries.empty()) return corruptAt(pgno, p.isLeaf() ? "index: prázdny list" : "index: uzol bez potomkov");
        const ByteSpan last = lastLeafEntry(p, entries);
        out->assign(last.begin(), last.end());
        return Status::OK();
    }
    return corruptAt(pgno, "index: strom je príliš hlboký");
}

// An intermediate page with two or more children keeps the last as its
// tail; one with a single child describes it with an entry.
Status IndexTree::normalizeTail(Node* node) {
    IndexPage& p = node->page;
    EntryList& entries = node->entries;
    if (p.isLeaf()) return Status::OK();
    if (p.tail == 0 && entries.size() >= 2) {
        p.tail = nodeChild(entries.back());
        entries.erase(entries.size() - 1, entries.size());
        node->dirty = true;
    } else if (p.tail != 0 && entries.empty()) {
        Bytes maximum;
        JET_TRY(subtreeMax(p.tail, &maximum));
        entries.pushBack(makeNodeEntry(maximum, p.tail));
        p.tail = 0;
        node->dirty = true;
    }
    return Status::OK();
}

// The root keeps its page number: its content moves to a new page, which
// becomes its only child, and that child is split instead.
Status IndexTree::splitRoot(std::vector<Step>* path) {
    Node* root = nullptr;
    JET_TRY(load(root_, &root));
    Page blank{};
    std::uint32_t pgno = 0;
    JET_TRY(allocatePage(*pager_, blank, &pgno));
    JET_TRY(setMapMember(*pager_, usageMap_, pgno, true));
    auto child = std::make_unique<Node>();
    child->page = std::move(root->page);
    child->entries = std::move(root->entries);
    child->page.prev = child->page.next = 0;
    child->dirty = true;
    Bytes maximum;
    adopt(pgno, std::move(child));
    JET_TRY(subtreeMax(pgno, &maximum));
    IndexPage fresh;
    fresh.type = kIndexNodePage;
    fresh.owner = owner_;
    fresh.mark = 1;
    root->page = std::move(fresh);
    root->entries = EntryList();
    root->entries.pushBack(makeNodeEntry(maximum, pgno));
    root->dirty = true;
    Step down = path->front();
    down.pgno = pgno;
    path->front().index = 0;
    path->front().atEnd = true;
    path->insert(path->begin() + 1, down);
    return split(path, 1);
}

// The page at `level` of the path keeps its number and its last entries;
// the first ones move to a new page linked in before it, which its parent
// then lists.
// REQUIRES: level < path->size(), the path running from the root.
Status IndexTree::split(std::vector<Step>* path, std::size_t level) {
    assert(level < path->size() && path->front().pgno == root_);
    if (level == 0) return splitRoot(path);
    const Step& step = (*path)[level];
    Node* right = nullptr;
    JET_TRY(load(step.pgno, &right));
    if (right->entries.size() < 2) return corruptAt(step.pgno, "index: stránku nemožno rozdeliť");
    std::uint32_t leftPgno = 0;
    Node* left = nullptr;
    Bytes leftMaximum;
    // A leaf knows where its entry went; an intermediate page only whether at its end.
    long added = step.atEnd ? static_cast<long>(right->entries.size()) - 1 : -1;
    if (right->page.isLeaf()) added = step.index;
    JET_TRY(moveToNewLeftSibling(step.pgno, right, splitPoint(right->entries, added), &leftPgno, &left, &leftMaximum));
    JET_TRY(listInParent(&(*path)[level - 1], leftPgno, leftMaximum));
    if (!fits(*left) || !fits(*right))
        return Status::error(Status::Code::TooLarge, "Kľúče indexu sú príliš dlhé na rozdelenie stránky.");
    return Status::OK();
}

// Moves the first `count` entries of page `pgno` (`right`) to a new page
// between it and its left neighbour; *maximum is the last leaf entry below
// the new page.
Status IndexTree::moveToNewLeftSibling(std::uint32_t pgno, Node* right, std::size_t count, std::uint32_t* leftPgno,
                                       Node** left, Bytes* maximum) {
    Page blank{};
    JET_TRY(allocatePage(*pager_, blank, leftPgno));
    JET_TRY(setMapMember(*pager_, usageMap_, *leftPgno, true));
    auto node = std::make_unique<Node>();
    IndexPage& page = node->page;
    page.type = right->page.type;
    page.owner = owner_;
    page.mark = right->page.mark;
    page.prev = right->page.prev;
    page.next = pgno;
    right->entries.moveFrontTo(count, &node->entries);
    node->dirty = true;
    right->page.prev = *leftPgno;
    right->dirty = true;
    // Taken before the tails are settled: the last child may become a tail.
    const ByteSpan last = lastLeafEntry(page, node->entries);
    maximum->assign(last.begin(), last.end());
    *left = adopt(*leftPgno, std::move(node));
    JET_TRY(normalizeTail(*left));
    JET_TRY(normalizeTail(right));
    const std::uint32_t before = (*left)->page.prev;
    if (before == 0) return Status::OK();
    Node* neighbour = nullptr;
    JET_TRY(load(before, &neighbour));
    neighbour->page.next = *leftPgno;
    neighbour->dirty = true;
    return Status::OK();
}

// Lists the new page `pgno`, whose subtree ends at `maximum`, in the parent
// that `parentStep` passes through, just before the child it follows.
Status IndexTree::listInParent(Step* parentStep, std::uint32_t pgno, ByteSpan maximum) {
    Node* parent = nullptr;
    JET_TRY(load(parentStep->pgno, &parent));
    EntryList& entries = parent->entries;
    const std::size_t at = parentStep->index < 0 ? entries.size() : static_cast<std::size_t>(parentStep->index);
    entries.insert(at, makeNodeEntry(maximum, pgno));
    parent->dirty = true;
    parentStep->atEnd = at + 1 == entries.size();
    return normalizeTail(parent);
}

Status IndexTree::writeNode(std::uint32_t pgno, Node& node) {
    if (!node.dirty) return Status::OK();
    // Like Access, entries are stored whole unless they need the prefix to fit.
    node.page.prefixLength = node.entries.bytes() <= kIndexEntryCapacity
                                 ? 0
                                 : static_cast<std::uint16_t>(node.entries.sharedPrefix(0, node.entries.size()));
    Page page;
    JET_TRY(buildIndexPage(node.page, node.entries, &page));
    JET_TRY(pager_->write(pgno, page));
    node.dirty = false;
    return Status::OK();
}

Status IndexTree::walkKeys(const std::function<void(ByteSpan key)>& visit) {
    JET_TRY(flush()); // the walk reads the pages as stored
    IndexWalk walk;
    return walkIndex([this](std::uint32_t pgno, PageRef* ref) { return readPage(pgno, ref); }, root_, owner_,
                     [&](ByteSpan key, RowPointer, std::uint32_t) { visit(key); }, &walk);
}

Status IndexTree::flush() {
    for (auto& [pgno, node] : cache_) JET_TRY(writeNode(pgno, *node));
    return Status::OK();
}

Status IndexTree::release() { return keepAtMost(kReleasedPages); }

Status IndexTree::trimCache() {
    if (cache_.size() <= kMaxCachedPages) return Status::OK();
    return keepAtMost(kMaxCachedPages - kMaxCachedPages / 4);
}

// Writes back and drops the least recently used pages beyond `pages`.
Status IndexTree::keepAtMost(std::size_t pages) {
    if (cache_.size() <= pages) return Status::OK();
    std::vector<std::pair<std::uint64_t, std::uint32_t>> byUse;
    byUse.reserve(cache_.size());
    for (const auto& [pgno, node] : cache_) byUse.emplace_back(node->used, pgno);
    const auto end = byUse.begin() + static_cast<std::ptrdiff_t>(cache_.size() - pages);
    std::nth_element(byUse.begin(), end, byUse.end());
    last_ = nullptr;
    for (auto it = byUse.begin(); it != end; ++it) {
        auto node = cache_.find(it->second);
        JET_TRY(writeNode(node->first, *node->second));
        cache_.erase(node);
    }
    return Status::OK();
}

} // namespace jet
