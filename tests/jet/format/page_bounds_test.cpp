// The checks of the page formats against damage, at their boundaries: for
// each field the last value let through and the first one refused.
#include "jet/format/index_page_format.h"
#include "jet/format/tabledef_format.h"
#include "support/damage.h"

using namespace damage;
namespace dp = jet::data_page;

namespace {

// One data page of 8 rows, a memo column, a primary key on a lone leaf.
const char* const kTable = "obchodzky";

} // namespace

TEST(PageBounds, DataPageSlots) {
    Sample s;
    const std::uint32_t page = s.map(s.def(kTable).ownedPages).at(0);
    const std::uint16_t n = s.u16(page, dp::kSlotCount);
    const std::uint16_t lowestEnd = s.u16(page, dp::slotAt(n - 2)); // of the last row, the lowest
    Bytes deleted;
    for (std::size_t i = n; i <= dp::kMaxSlots; ++i) appendLe(&deleted, dp::kDeleted, 2);
    expectBounds({
        {"slot count",
         page,
         dp::kSlotCount,
         2,
         dp::kMaxSlots,
         dp::kMaxSlots + 1,
         "priveľa riadkov",
         {{page, dp::slotAt(n), deleted}}},
        {"row after the slot table", page, dp::slotAt(n - 1), 2, dp::slotAt(n), dp::slotAt(n) - 1, "leží mimo strany"},
        {"row's start before its end", page, dp::slotAt(n - 1), 2, lowestEnd, lowestEnd + 1u, "leží mimo strany"},
        {"row's end on the page", page, dp::slotAt(0), 2, dp::kDeleted | kPageSize, (dp::kDeleted | kPageSize) + 1,
         "riadok 1 leží mimo strany"},
    });
}

TEST(PageBounds, UsageMaps) {
    Sample s;
    const TableDef def = s.def(kTable);
    const RowPointer owned = def.ownedPages, free = def.freePages; // a reference map, an inline one
    const RowSlot ownedRow = s.slot(owned), freeRow = s.slot(free);
    const std::uint32_t bitmap = s.u32(owned.page, ownedRow.start + bitmapPageAt(0));
    const std::size_t lastBit = kBitmapOffset + s.last() / 8; // the last page's bit and the next
    const std::uint16_t bits = s.u16(bitmap, lastBit), rows = s.u16(owned.page, dp::kSlotCount);
    expectBounds({
        {"map's page", def.firstPage, tdef::kOwnedPages, 4, at(s.last()), at(s.last() + 1),
         "mapa strán ukazuje mimo súboru"},
        {"map's row", def.firstPage, tdef::kOwnedPages, 4, at(owned.page, rows - 1), at(owned.page, rows),
         "mapa strán: riadok " + std::to_string(rows) + " neexistuje"},
        {"member", bitmap, lastBit, 2, bits | 1u << s.last() % 8, bits | 2u << s.last() % 8,
         "mapa strán uvádza stranu za koncom súboru"},
        {"bitmap page", owned.page, ownedRow.end - kBitmapPagePointer, 4, s.last(), s.last() + 1,
         "mapa strán ukazuje mimo súboru"},
        {"inline map's length", free.page, dp::slotAt(free.row), 2, freeRow.end - kInlineMapHeader,
         freeRow.end - kInlineMapHeader + 1, "krátka mapa strán"},
        {"map's length", free.page, dp::slotAt(free.row), 2, freeRow.end - 1u, freeRow.end, "prázdna mapa strán"},
    });
}

TEST(PageBounds, TableDefinitions) {
    Sample s;
    const TableDef def = s.def(kTable);
    const std::uint32_t page = def.firstPage;
    const Patch longer{page, tdef::kLength, le(kPageSize + 1, 4)}; // than its one page
    const char* chain = "reťaz definície tabuľky ukazuje mimo súboru";
    expectBounds({
        {"length, the records", page, tdef::kLength, 4, def.length, def.length - 1, "končí uprostred"},
        {"length, past the records", page, tdef::kLength, 4, def.length, def.length + 1, "nekončí na uloženej dĺžke"},
        {"length, the head", page, tdef::kLength, 4, tdef::kIndexStats, tdef::kIndexStats - 1, "neplatná dĺžka"},
        {"length, the chain", page, tdef::kLength, 4, kPageSize, kPageSize + 1, "neplatná dĺžka"},
        {"next page, low", page, tdef::kNextPage, 4, 2, 1, chain, {longer}},
        {"next page, high", page, tdef::kNextPage, 4, s.last(), s.last() + 1, chain, {longer}},
        // The last column has the top number and variable slot.
        {"column count", page, tdef::kMaxColumns, 2, def.maxColumns, def.maxColumns - 1u, "presahuje počet stĺpcov"},
        {"variable columns", page, tdef::kVarColumns, 2, def.varColumns, def.varColumns - 1u, "mimo tabuľky ofsetov"},
        {"logical index", page, def.logicalIndexes.at(0).descriptorOffset + tdef::kLogicalRealIndex, 4,
         def.realIndexes.size() - 1, def.realIndexes.size(), "odkazuje na neexistujúci index"},
    });
}

TEST(PageBounds, IndexPages) {
    Sample s;
    const std::uint32_t leaf = s.def(kTable).realIndexes.at(0).firstPage;
    const std::uint32_t wide = s.def("alarmy").realIndexes.at(1).firstPage; // a leaf of 13-byte entries
    std::size_t first = 1;                                                  // where the first entry ends
    while (!(s.page(leaf).bytes[kIndexBitmapOffset + first / 8] >> first % 8 & 1)) ++first;
    const std::size_t end = kIndexEntryCapacity;
    expectBounds({
        {"entry's end", leaf, kIndexBitmapOffset + end / 8, 1, 1u << end % 8, 2u << end % 8, "za koniec stránky"},
        {"prefix", leaf, index_page::kPrefixLength, 2, first, first + 1, "kratší ako spoločná predpona"},
        {"shortest entry", wide, kIndexBitmapOffset, 1, 1u << 5, 1u << 4, "príliš krátky záznam"},
    });
}
