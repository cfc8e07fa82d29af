#include "jet/index/index_last.h"

#include "jet/util/corrupt.h"
#include "jet/index/index_page.h"

namespace jet {

Status lastLeafEntry(const PageReader& read, std::uint32_t root, std::uint32_t owner, Bytes* entry) {
    std::uint32_t pgno = root;
    for (std::uint32_t depth = 0; depth < kMaxIndexDepth; ++depth) {
        IndexPage page;
        EntryList entries;
        JET_TRY(readIndexPage(read, pgno, owner, &page, &entries));
        if (page.isLeaf()) {
            if (!entries.empty()) entry->assign(entries.back().begin(), entries.back().end());
            else if (depth == 0) entry->clear();
            else return Status::error(Status::Code::NotFound, "Posledný list indexu je prázdny.");
            return Status::OK();
        }
        if (page.tail != 0) pgno = page.tail;
        else if (!entries.empty()) pgno = nodeChild(entries.back());
        else return corruptAt(pgno, "index: uzol bez potomkov");
    }
    return corruptAt(pgno, "index: strom je príliš hlboký");
}

} // namespace jet
