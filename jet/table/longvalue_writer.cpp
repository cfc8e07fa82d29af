#include "jet/table/longvalue_writer.h"

#include <algorithm>

#include "jet/util/bytes.h"
#include "jet/format/data_page.h"
#include "jet/format/data_page_writer.h"
#include "jet/table/longvalue.h"
#include "jet/format/page_alloc.h"
#include "jet/format/usage_map.h"

namespace jet {
namespace {

void reference(std::uint32_t head, RowPointer where, Bytes* out) {
    out->clear();
    appendLe(out, head, 4);
    appendLe(out, where.encode(), 4);
    appendLe(out, 0, 4);
}

} // namespace

void inlineLongValue(ByteSpan data, Bytes* out) {
    reference(static_cast<std::uint32_t>(data.size()) | kLongValueInline, {}, out);
    out->insert(out->end(), data.begin(), data.end());
}

LongValueWriter::LongValueWriter(Pager& pager, const LongValueMaps* maps) : pager_(&pager) {
    if (maps) {
        hasMaps_ = true;
        maps_ = *maps;
    }
}

// Takes up the last LVAL page listed as having room, if any.
Status LongValueWriter::start() {
    started_ = true;
    if (!hasMaps_) return Status::OK();
    std::vector<std::uint32_t> free;
    JET_TRY(readUsageMap(*pager_, maps_.freePages, &free));
    for (auto it = free.rbegin(); it != free.rend(); ++it) {
        PageRef ref;
        JET_TRY(pager_->read(*it, &ref));
        DataPage page;
        if (!DataPage::open(ref, *it, &page).ok() || page.owner() != kLvalOwner) continue;
        page_.adopt(*ref, *it);
        break;
    }
    return Status::OK();
}

Status LongValueWriter::newPage(const Page& content, std::uint32_t* pgno) {
    JET_TRY(allocatePage(*pager_, content, pgno));
    if (hasMaps_) JET_TRY(setMapMember(*pager_, maps_.ownedPages, *pgno, true));
    return Status::OK();
}

// Adds a row to the page being filled, moving to a new page when it is full.
Status LongValueWriter::addRow(ByteSpan body, RowPointer* where) {
    if (page_.pgno() == 0 || !page_.fits(body.size())) {
        if (page_.pgno() != 0) {
            JET_TRY(flush());
            if (hasMaps_) JET_TRY(setMapMember(*pager_, maps_.freePages, page_.pgno(), false));
        }
        page_.start(kLvalOwner);
        std::uint32_t pgno = 0;
        JET_TRY(newPage(page_.page(), &pgno));
        page_.numbered(pgno);
        if (hasMaps_) JET_TRY(setMapMember(*pager_, maps_.freePages, pgno, true));
    }
    where->page = page_.pgno();
    where->row = page_.add(body);
    return Status::OK();
}

Status LongValueWriter::store(ByteSpan data, Bytes* out) {
    if (!started_) JET_TRY(start());
    const auto length = static_cast<std::uint32_t>(data.size());
    RowPointer where;
    if (data.size() <= kMaxSingleRowLongValue) {
        JET_TRY(addRow(data, &where));
        reference(length | kLongValueSingle, where, out);
        return Status::OK();
    }
    // Chunks from the last to the first, each pointing to the next; every
    // chunk but the last fills a page of its own.
    const std::size_t chunks = (data.size() + kChainChunk - 1) / kChainChunk;
    RowPointer next;
    for (std::size_t i = chunks; i-- > 0;) {
        const std::size_t from = i * kChainChunk;
        const std::size_t size = std::min(kChainChunk, data.size() - from);
        chunk_.clear();
        appendLe(&chunk_, next.encode(), 4);
        chunk_.insert(chunk_.end(), data.begin() + from, data.begin() + from + size);
        if (i + 1 == chunks) {
            JET_TRY(addRow(chunk_, &next));
            continue;
        }
        Page page;
        initDataPage(kLvalOwner, &page);
        next.row = addDataRow(&page, chunk_);
        JET_TRY(newPage(page, &next.page));
    }
    reference(length, next, out);
    return Status::OK();
}

Status LongValueWriter::flush() { return page_.write(*pager_); }

} // namespace jet
