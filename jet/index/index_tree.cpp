#include "jet/index/index_tree.h"

#include <algorithm>

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

bool equal(ByteSpan a, ByteSpan b) { return std::equal(a.begin(), a.end(), b.begin(), b.end()); }

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

} // namespace

// Stored with the longest shared prefix, the entries fit on a page.
bool IndexTree::fits(const Node& node) { return rangeFits(node.entries, 0, node.entries.size()); }

Status IndexTree::load(std::uint32_t pgno, Node** out) {
    if (last_ && last_->first == pgno) {
        last_->second->used = ++clock_;
        *out = last_->second.get();
        return Status::OK();
    }
    auto it = cache_.find(pgno);
    if (it != cache_.end()) {
        it->second->used = ++clock_;
        *out = it->second.get();
        last_ = &*it;
        return Status::OK();
    }
    if (pgno == 0 || pgno >= pager_->pageCount()) return corruptAt(pgno, "index ukazuje mimo súboru");
    PageRef ref;
    JET_TRY(pager_->read(pgno, &ref));
    auto node = std::make_unique<Node>();
    JET_TRY(parseIndexPage(*ref, pgno, &node->page));
    if (node->page.owner != owner_) return corruptAt(pgno, "index: stránka patrí inej tabuľke");
    node->entries = EntryList(node->page.entries);
    node->page.entries = {};
    *out = adopt(pgno, std::move(node));
    return Status::OK();
}

IndexTree::Node* IndexTree::adopt(std::uint32_t pgno, std::unique_ptr<Node> node) {
    node->used = ++clock_;
    return cache_.emplace(pgno, std::move(node)).first->second.get();
}

Status IndexTree::descend(ByteSpan entry, std::vector<Step>* path) {
    path->clear();
    pathReusable_ = false;
    std::uint32_t pgno = root_;
    for (std::uint32_t depth = 0; depth < kMaxIndexDepth; ++depth) {
        Node* node = nullptr;
        JET_TRY(load(pgno, &node));
        const EntryList& entries = node->entries;
        if (node->page.isLeaf()) {
            const std::size_t pos = entries.lowerBound(entry, wholeEntry);
            path->push_back({pgno, static_cast<long>(pos), pos == entries.size()});
            pathReusable_ = true;
            return Status::OK();
        }
        const std::size_t pos = entries.lowerBound(entry, routeKey);
        long index = static_cast<long>(pos);
        std::uint32_t child = 0;
        if (pos != entries.size()) child = nodeChild(entries[pos]);
        else if (node->page.tail != 0) child = node->page.tail, index = -1;
        else if (!entries.empty()) child = nodeChild(entries.back()), index = static_cast<long>(entries.size()) - 1;
        else return corruptAt(pgno, "index: uzol bez potomkov");
        path->push_back({pgno, index, false});
        pgno = child;
    }
    return corruptAt(pgno, "index: strom je príliš hlboký");
}

Status IndexTree::contains(ByteSpan key, bool* found) {
    JET_TRY(trimCache());
    Bytes& lowest = probe_;
    lowest.assign(key.begin(), key.end());
    lowest.resize(key.size() + kRowPointerBytes, 0);
    std::vector<Step>& path = path_;
    JET_TRY(descend(lowest, &path));
    Node* leaf = nullptr;
    JET_TRY(load(path.back().pgno, &leaf));
    return neighbourKey(*leaf, path.back().index, key, found);
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
    const IndexPage& p = leaf->page;
    const EntryList& entries = leaf->entries;
    if (entries.empty() ? p.prev != 0 || p.next != 0
                        : (p.prev != 0 && !entryLess(entries.front(), entry)) ||
                              (p.next != 0 && !entryLess(entry, entries.back())))
        return Status::OK();
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
        if (!prev->entries.empty()) *same = equal(leafKey(prev->entries.back()), key);
        return Status::OK();
    }
    if (static_cast<std::size_t>(pos) < entries.size()) {
        *same = equal(leafKey(entries[pos]), key);
        return Status::OK();
    }
    if (leaf.page.next == 0) return Status::OK();
    Node* next = nullptr;
    JET_TRY(load(leaf.page.next, &next));
    if (!next->entries.empty()) *same = equal(leafKey(next->entries.front()), key);
    return Status::OK();
}

Status IndexTree::insert(ByteSpan entry, bool* newKey) {
    if (entry.size() > kMaxIndexEntry || entry.size() <= kRowPointerBytes)
        return Status::error(Status::Code::Refused, "Kľúč indexu je príliš dlhý.");
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

// The leaf at the end of `path` has a new last entry: parents whose last
// child it is (directly or through their tail) learn the new maximum.
Status IndexTree::carryMaximum(const std::vector<Step>& path) {
    Node* leaf = nullptr;
    JET_TRY(load(path.back().pgno, &leaf));
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
        const ByteSpan last = p.isLeaf() ? entries.back() : routeKey(entries.back());
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

Status IndexTree::split(std::vector<Step>* path, std::size_t level) {
    if (level == 0) return splitRoot(path);
    Node* x = nullptr;
    JET_TRY(load((*path)[level].pgno, &x));
    EntryList& entries = x->entries;
    const std::size_t n = entries.size();
    if (n < 2) return corruptAt((*path)[level].pgno, "index: stránku nemožno rozdeliť");
    // Entries appended at the end leave the left page full and the right
    // one nearly empty; otherwise the bytes are shared out evenly.
    std::size_t k = n - 1;
    if (!(*path)[level].atEnd || !rangeFits(entries, 0, k)) {
        const std::size_t half = entries.bytes() / 2;
        for (k = 0; k + 1 < n && entries.bytes(0, k + 1) <= half; ++k) {
        }
        k = std::max<std::size_t>(k, 1);
    }
    Page blank{};
    std::uint32_t pgno = 0;
    JET_TRY(allocatePage(*pager_, blank, &pgno));
    JET_TRY(setMapMember(*pager_, usageMap_, pgno, true));
    auto left = std::make_unique<Node>();
    IndexPage& l = left->page;
    l.type = x->page.type;
    l.owner = owner_;
    l.mark = x->page.mark;
    l.prev = x->page.prev;
    l.next = (*path)[level].pgno;
    entries.moveFrontTo(k, &left->entries);
    left->dirty = true;
    const std::uint32_t oldPrev = x->page.prev;
    x->page.prev = pgno;
    x->dirty = true;
    const ByteSpan lastLeft = l.isLeaf() ? left->entries.back() : routeKey(left->entries.back());
    const Bytes leftMax(lastLeft.begin(), lastLeft.end());
    Node* leftNode = adopt(pgno, std::move(left));
    JET_TRY(normalizeTail(leftNode));
    JET_TRY(normalizeTail(x));
    if (oldPrev != 0) {
        Node* before = nullptr;
        JET_TRY(load(oldPrev, &before));
        before->page.next = pgno;
        before->dirty = true;
    }
    Node* parent = nullptr;
    JET_TRY(load((*path)[level - 1].pgno, &parent));
    EntryList& up = parent->entries;
    const long index = (*path)[level - 1].index;
    const std::size_t at = index < 0 ? up.size() : static_cast<std::size_t>(index);
    up.insert(at, makeNodeEntry(leftMax, pgno));
    parent->dirty = true;
    (*path)[level - 1].atEnd = at + 1 == up.size();
    JET_TRY(normalizeTail(parent));
    if (!fits(*leftNode) || !fits(*x))
        return Status::error(Status::Code::TooLarge, "Kľúče indexu sú príliš dlhé na rozdelenie stránky.");
    return Status::OK();
}

Status IndexTree::writeNode(std::uint32_t pgno, Node& node) {
    if (!node.dirty) return Status::OK();
    node.page.entries = node.entries.toVector();
    // Like Access, entries are stored whole unless they need the prefix to fit.
    node.page.prefixLength =
        node.entries.bytes() <= kIndexEntryCapacity ? 0 : static_cast<std::uint16_t>(node.entries.sharedPrefix(0, node.entries.size()));
    Page page;
    Status built = buildIndexPage(node.page, &page);
    node.page.entries = {};
    JET_TRY(built);
    JET_TRY(pager_->write(pgno, page));
    node.dirty = false;
    return Status::OK();
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
