#include "jet/index/index_walk.h"

#include <algorithm>
#include <unordered_set>

#include "jet/util/corrupt.h"

namespace jet {
namespace {

Status corrupt(std::uint32_t pgno, const std::string& what) { return corruptAt(pgno, "index: " + what); }

struct LeafLinks {
    std::uint32_t page, prev, next;
};

class Walker {
public:
    Walker(const PageReader& read, std::uint32_t owner, const EntryVisitor& visit, IndexWalk* out)
        : read_(read), owner_(owner), visit_(visit), out_(out) {}

    Status run(std::uint32_t root) {
        Bytes last;
        JET_TRY(visit(root, 1, true, &last));
        return checkLeafChain();
    }

private:
    // Visits the subtree at `pgno` and returns its last leaf entry in `last`.
    Status visit(std::uint32_t pgno, std::uint32_t depth, bool isRoot, Bytes* last) {
        if (depth > kMaxIndexDepth) return corrupt(pgno, "strom indexu je príliš hlboký");
        if (pgno == 0 || !visited_.insert(pgno).second) return corrupt(pgno, "stránka je v strome indexu dvakrát");
        IndexPage page;
        EntryList entries;
        JET_TRY(readIndexPage(read_, pgno, owner_, &page, &entries));
        out_->pages.push_back(pgno);
        if (isRoot && (page.prev != 0 || page.next != 0)) return corrupt(pgno, "koreň indexu má susedné stránky");
        if (page.freeSpace != page.computedFreeSpace())
            return corrupt(pgno, "voľné miesto " + std::to_string(page.freeSpace) + " namiesto " +
                                     std::to_string(page.computedFreeSpace()));
        if (page.isLeaf()) return visitLeaf(pgno, depth, isRoot, page, entries, last);
        return visitNode(pgno, depth, page, entries, last);
    }

    Status visitLeaf(std::uint32_t pgno, std::uint32_t depth, bool isRoot, const IndexPage& page,
                     const EntryList& entries, Bytes* last) {
        if (out_->depth == 0) out_->depth = depth;
        if (depth != out_->depth) return corrupt(pgno, "listy stromu nie sú v rovnakej hĺbke");
        if (entries.empty() && !isRoot) return corrupt(pgno, "prázdny list");
        ByteSpan before = lastEntry_; // empty before the first leaf: every entry is longer
        for (std::size_t i = 0; i < entries.size(); before = entries[i++]) {
            const ByteSpan e = entries[i];
            if (!entryLess(before, e)) return corrupt(pgno, "záznamy nie sú vo vzostupnom poradí");
            visit_(leafKey(e), leafRow(e), pgno);
        }
        leaves_.push_back({pgno, page.prev, page.next});
        ++out_->leaves;
        last->clear();
        if (entries.empty()) return Status::OK();
        last->assign(entries.back().begin(), entries.back().end());
        lastEntry_ = *last;
        return Status::OK();
    }

    Status visitNode(std::uint32_t pgno, std::uint32_t depth, const IndexPage& page, const EntryList& entries,
                     Bytes* last) {
        if (entries.empty() && page.tail == 0) return corrupt(pgno, "uzol bez potomkov");
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const ByteSpan e = entries[i];
            Bytes childLast;
            JET_TRY(visit(nodeChild(e), depth + 1, false, &childLast));
            const auto stored = nodeLeafEntry(e);
            if (!std::equal(stored.begin(), stored.end(), childLast.begin(), childLast.end()))
                return corrupt(pgno,
                               "záznam uzla nezodpovedá poslednému záznamu stránky " + std::to_string(nodeChild(e)));
            *last = std::move(childLast);
        }
        if (page.tail != 0) JET_TRY(visit(page.tail, depth + 1, false, last));
        return Status::OK();
    }

    Status checkLeafChain() const {
        for (std::size_t i = 0; i < leaves_.size(); ++i) {
            const std::uint32_t prev = i ? leaves_[i - 1].page : 0;
            const std::uint32_t next = i + 1 < leaves_.size() ? leaves_[i + 1].page : 0;
            if (leaves_[i].prev != prev || leaves_[i].next != next)
                return corrupt(leaves_[i].page, "zlé odkazy na susedné listy");
        }
        return Status::OK();
    }

    const PageReader& read_;
    std::uint32_t owner_;
    const EntryVisitor& visit_;
    IndexWalk* out_;
    std::unordered_set<std::uint32_t> visited_;
    std::vector<LeafLinks> leaves_;
    Bytes lastEntry_;
};

} // namespace

Status readIndexPage(const PageReader& read, std::uint32_t pgno, std::uint32_t owner, IndexPage* header,
                     EntryList* entries) {
    PageRef ref;
    JET_TRY(read(pgno, &ref));
    return parseIndexPage(*ref, pgno, owner, header, entries);
}

Status walkIndex(const PageReader& read, std::uint32_t root, std::uint32_t owner, IndexWalk* out) {
    return walkIndex(
        read, root, owner,
        [out](std::span<const std::uint8_t> key, RowPointer row, std::uint32_t leafPage) {
            out->entries.push_back({Bytes(key.begin(), key.end()), row, leafPage});
        },
        out);
}

Status walkIndex(const PageReader& read, std::uint32_t root, std::uint32_t owner, const EntryVisitor& visit,
                 IndexWalk* out) {
    *out = IndexWalk{};
    return Walker(read, owner, visit, out).run(root);
}

} // namespace jet
