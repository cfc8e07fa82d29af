// Adding entries to one index B-tree. Pages are read once, kept decoded
// while they are in use (up to a budget, the least recently used going
// first) and written back by flush(); a new entry goes to
// its leaf, a new maximum is carried up to the parents, a full page is
// split (the root keeps its page number by moving its content down a
// level), and every intermediate page with two or more children keeps the
// last one as its tail.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

#include "jet/util/bytes.h"
#include "jet/index/entry_list.h"
#include "jet/index/index_page.h"
#include "jet/io/pager.h"
#include "jet/format/row_pointer.h"
#include "jet/status.h"

namespace jet {

// The longest leaf entry accepted: two of them, as intermediate entries,
// still fit on one page, so that any full page can be split.
constexpr std::size_t kMaxIndexEntry = kIndexEntryCapacity / 2 - kChildPointerBytes;

class IndexTree {
public:
    // `owner` is the table's TDEF page, `usageMap` the index's page map.
    IndexTree(Pager& pager, std::uint32_t owner, std::uint32_t root, RowPointer usageMap)
        : pager_(&pager), owner_(owner), root_(root), usageMap_(usageMap) {}

    // *found is true when some leaf entry carries exactly `key`. `*next`,
    // when asked for, becomes the first entry not before any entry the key
    // could have: no entry lies between the key's lowest entry (its row
    // pointer all zeros) and it. Empty when the tree has none after the
    // key; none when an empty leaf stands in the way.
    Status contains(ByteSpan key, bool* found, std::optional<Bytes>* next = nullptr);
    // Adds a leaf entry (key and row pointer); one longer than
    // kMaxIndexEntry is Refused. *newKey is false when an entry with the
    // same key was already there.
    Status insert(ByteSpan entry, bool* newKey);
    // Adds leading entries of `sorted` (at least the first) and leaves the
    // tree as insert() would one by one: *taken says how many, *newKeys for
    // how many of them insert() would have said newKey. Entries that fall
    // strictly inside the first one's leaf and leave it within its page go
    // in with it, in one pass over the leaf.
    // REQUIRES: sorted is not empty and in entryLess order.
    Status insertRun(std::span<const ByteSpan> sorted, std::size_t* taken, std::size_t* newKeys);
    // Hands every key the tree holds to `visit`, in order, checking the
    // whole tree on the way: Corrupt, naming the page, when it is damaged.
    Status walkKeys(const std::function<void(ByteSpan key)>& visit);
    // Writes every changed page to the pager.
    Status flush();
    // Writes back and lets go of all but a few decoded pages: for a tree
    // whose table no longer takes rows for now.
    Status release();

private:
    struct Node {
        IndexPage page; // all but the entries, which are kept in `entries`
        EntryList entries;
        bool dirty = false;
        std::uint64_t used = 0; // when last loaded, on the tree's clock
    };
    struct Step {
        std::uint32_t pgno;
        long index; // leaf: insertion position; node: entry followed, -1 = tail
        bool atEnd; // the change at this level happened after every entry
    };

    static bool fits(const Node& node);
    // The decoded page when the tree holds it, else null.
    Node* cached(std::uint32_t pgno);
    Status readPage(std::uint32_t pgno, PageRef* ref);
    Status load(std::uint32_t pgno, Node** out);
    Status decode(std::uint32_t pgno, const Page& page, Node** out);
    Status descend(ByteSpan entry, std::vector<Step>* path);
    Status toLeaf(ByteSpan entry, std::vector<Step>* path, PageRef* stored);
    Status entryAt(const Step& at, PageRef stored, ByteSpan x, std::uint32_t* next);
    Status reusePath(ByteSpan entry, bool* reused);
    std::size_t runInLeaf(const Node& leaf, std::span<const ByteSpan> rest) const;
    void mergeIntoLeaf(Node* leaf, std::span<const ByteSpan> run, std::size_t* newKeys);
    Status neighbourKey(const Node& leaf, long pos, ByteSpan key, bool* same);
    Status carryMaximum(const std::vector<Step>& path);
    Status split(std::vector<Step>* path, std::size_t level);
    Status moveToNewLeftSibling(std::uint32_t pgno, Node* right, std::size_t count, std::uint32_t* leftPgno,
                                Node** left, Bytes* maximum);
    Status listInParent(Step* parentStep, std::uint32_t pgno, ByteSpan maximum);
    Status splitRoot(std::vector<Step>* path);
    Status subtreeMax(std::uint32_t pgno, Bytes* out);
    Status normalizeTail(Node* node);
    Status trimCache();
    Status keepAtMost(std::size_t pages);
    Status writeNode(std::uint32_t pgno, Node& node);
    Node* adopt(std::uint32_t pgno, std::unique_ptr<Node> node);

    Pager* pager_;
    std::uint32_t owner_, root_;
    RowPointer usageMap_;
    std::unordered_map<std::uint32_t, std::unique_ptr<Node>> cache_;
    std::pair<const std::uint32_t, std::unique_ptr<Node>>* last_ = nullptr; // the page found last
    std::uint64_t clock_ = 0;
    // Kept from call to call so that their buffers are reused.
    std::vector<Step> path_;
    bool pathReusable_ = false; // path_ still leads to its leaf
    Bytes probe_;
    std::vector<Step> lookup_; // the path of the last lookup
    Bytes entry_;              // the entry the last lookup found
};

} // namespace jet
