#include "jet/table/longvalue.h"

#include <algorithm>
#include <unordered_set>

#include "jet/util/corrupt.h"
#include "jet/format/data_page.h"
#include "jet/format/row_pointer.h"

namespace jet {
namespace {

// The body of the LVAL row `where`; its page goes to `pages` when given.
Status lvalRow(Pager& pager, RowPointer where, std::uint32_t from, PageRef* keep, ByteSpan* out,
               std::vector<std::uint32_t>* pages) {
    if (where.page == 0 || where.page >= pager.pageCount()) return corruptAt(from, "dlhá hodnota ukazuje mimo súboru");
    JET_TRY(pager.read(where.page, keep));
    DataPage page;
    JET_TRY(DataPage::open(*keep, where.page, &page));
    if (page.owner() != kLvalOwner) return corruptAt(where.page, "dlhá hodnota ukazuje na stranu, ktorá nie je LVAL");
    RowSlot slot;
    JET_TRY(page.liveSlot(where.row, "dlhá hodnota", &slot));
    *out = page.body(slot);
    if (pages) pages->push_back(where.page);
    return Status::OK();
}

} // namespace

Status readLongValue(Pager& pager, ByteSpan field, std::uint32_t rowPage, Bytes* out,
                     std::vector<std::uint32_t>* pages) {
    out->clear();
    if (field.size() < kLongValueHeader) return corruptAt(rowPage, "skrátený odkaz na dlhú hodnotu");
    std::uint32_t head = le32(&field[0]);
    std::uint32_t length = head & kLongValueLengthMask;
    RowPointer next = RowPointer::decode(le32(&field[kLongValueRow]));
    if ((head & kLongValueKindMask) == kLongValueInline) {
        if (length > field.size() - kLongValueHeader)
            return corruptAt(rowPage, "vložená dlhá hodnota presahuje riadok");
        out->assign(field.begin() + kLongValueHeader, field.begin() + kLongValueHeader + length);
        return Status::OK();
    }
    // No value can be longer than the file that holds it.
    if (length > std::uint64_t{pager.pageCount()} * kPageSize)
        return corruptAt(rowPage, "dlhá hodnota je dlhšia ako súbor");
    PageRef keep;
    ByteSpan row;
    if ((head & kLongValueKindMask) == kLongValueSingle) {
        JET_TRY(lvalRow(pager, next, rowPage, &keep, &row, pages));
        if (row.size() < length) return corruptAt(next.page, "dlhá hodnota je kratšia ako jej uložená dĺžka");
        out->assign(row.begin(), row.begin() + length);
        return Status::OK();
    }
    if ((head & kLongValueKindMask) != 0) return corruptAt(rowPage, "neznámy druh dlhej hodnoty");
    out->reserve(length);
    std::uint32_t from = rowPage;
    std::unordered_set<std::uint32_t> visited;
    while (out->size() < length) {
        if (!visited.insert(next.encode()).second) return corruptAt(next.page, "reťaz dlhej hodnoty sa zacyklila");
        JET_TRY(lvalRow(pager, next, from, &keep, &row, pages));
        if (row.size() <= kChainLinkHeader) return corruptAt(next.page, "prázdny článok dlhej hodnoty");
        std::size_t take = std::min<std::size_t>(row.size() - kChainLinkHeader, length - out->size());
        out->insert(out->end(), row.begin() + kChainLinkHeader, row.begin() + kChainLinkHeader + take);
        from = next.page;
        next = RowPointer::decode(le32(&row[0]));
        if (out->size() < length && next.isNull()) return corruptAt(from, "reťaz dlhej hodnoty končí predčasne");
    }
    return Status::OK();
}

} // namespace jet
