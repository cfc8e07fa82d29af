// The checks of stored records against damage, at their boundaries: rows,
// moved rows, long values and the database properties; for each field the
// last value let through and the first one refused.
#include "jet/format/tabledef_format.h"
#include "jet/table/catalog.h"
#include "jet/table/longvalue.h"
#include "support/damage.h"

using namespace damage;
namespace dp = jet::data_page;

namespace {

// The one data page of obchodzky: 8 rows; row 0 has its memo in a chain of
// LVAL rows, row 1 none, row 2 one on a single LVAL row.
struct Rows {
    Sample s;
    std::uint32_t page = s.map(s.def("obchodzky").ownedPages).at(0);
    std::uint16_t count = s.u16(page, dp::kSlotCount);
    std::uint16_t start(int row) { return s.u16(page, dp::slotAt(row)) & dp::kOffsetMask; }
    // Where the null mask of `row` starts, where the start of its variable
    // slot `slot` is kept (slot `count`: the end of data), and where that
    // value starts.
    std::size_t maskAt(RowPointer row) { return s.slot(row).end - (s.u16(row.page, s.slot(row).start) + 7u) / 8; }
    std::size_t varAt(RowPointer row, std::size_t slot) { return maskAt(row) - 4 - 2 * slot; }
    std::size_t valueAt(RowPointer row, std::size_t slot) {
        return s.slot(row).start + s.u16(row.page, varAt(row, slot));
    }
    RowPointer row(int i) const { return {page, static_cast<std::uint8_t>(i)}; }
};

} // namespace

TEST(RecordBounds, Rows) {
    Rows l;
    const RowPointer r = l.row(1);
    const std::size_t size = l.start(0) - l.start(1), mask = l.maskAt(r) - l.start(1);
    const std::uint16_t vars = l.s.u16(l.page, l.maskAt(r) - 2);
    const std::uint16_t dataEnd = l.s.u16(l.page, l.varAt(r, vars));      // right below the offsets
    const TableDef fixed = l.s.def("garazovy_semafor_priradene_skupiny"); // fixed columns only
    const ColumnDef& lastFixed = fixed.columns.back();                    // ends every row's fixed area
    const char* offset = "neplatný ofset premenlivého stĺpca";
    expectBounds({
        {"row length", l.page, dp::slotAt(l.count - 1), 2, l.start(l.count - 2) - 2u, l.start(l.count - 2) - 1u,
         "príliš krátky riadok"},
        {"column count, null mask", l.page, l.start(1), 2, 8 * (size - 2), 8 * (size - 2) + 1,
         "nulová maska presahuje"},
        {"column count, variable count", l.page, l.start(1), 2, 8 * (size - 4), 8 * (size - 3),
         "chýba tabuľka premenlivých stĺpcov"},
        {"variable count", l.page, l.maskAt(r) - 2, 2, (mask - 6) / 2, (mask - 6) / 2 + 1,
         "tabuľka premenlivých stĺpcov presahuje riadok"},
        {"end of data", l.page, l.varAt(r, vars), 2, dataEnd, dataEnd + 1u, "koniec premenlivých dát mimo riadku"},
        {"variable start, low", l.page, l.varAt(r, 0), 2, 2, 1, offset},
        {"variable start, high", l.page, l.varAt(r, vars - 1), 2, dataEnd, dataEnd + 1u, offset},
        {"fixed offset", fixed.firstPage, lastFixed.descriptorOffset + tdef::kColumnFixedOffset, 2,
         lastFixed.fixedOffset, lastFixed.fixedOffset + 1u, "pevný stĺpec " + lastFixed.name + " presahuje riadok"},
    });
}

TEST(RecordBounds, MovedRows) {
    Rows l;
    auto moved = [&l](int i) { return Patch{l.page, dp::slotAt(i), le(dp::kOverflow | l.start(i), 2)}; };
    auto to = [&l](int i, int target) { return Patch{l.page, l.start(i), le(l.row(target).encode(), 4)}; };
    // Rows 4 -> 3 -> 2 -> 1 -> 0 take four moves, the most followed; with
    // 1 -> 5 -> 0 they take five.
    const std::vector<Patch> chain{moved(1), moved(2), moved(3), moved(4), moved(5),
                                   to(2, 1), to(3, 2), to(4, 3), to(5, 0)};
    expectBounds({
        {"moves", l.page, l.start(1), 4, l.row(0).encode(), l.row(5).encode(), "tvorí slučku", chain},
        {"target page",
         l.page,
         l.start(1),
         4,
         at(l.s.last()),
         at(l.s.last() + 1),
         "presunutý riadok ukazuje mimo",
         {moved(1)}},
        {"target row",
         l.page,
         l.start(1),
         4,
         at(l.page, l.count - 1),
         at(l.page, l.count),
         "presunutý riadok: riadok " + std::to_string(l.count) + " neexistuje",
         {moved(1)}},
        {"pointer length", l.page, dp::slotAt(1), 2, dp::kOverflow | (l.start(0) - 4u),
         dp::kOverflow | (l.start(0) - 3u), "krátky odkaz na presunutý riadok"},
    });
}

TEST(RecordBounds, LongValues) {
    Rows l;
    const std::size_t slot = l.s.def("obchodzky").column("poznamky")->varSlot;
    const std::size_t chain = l.valueAt(l.row(0), slot), single = l.valueAt(l.row(2), slot);
    const std::uint32_t head = l.s.u32(l.page, single), chainHead = l.s.u32(l.page, chain);
    const RowPointer lval = RowPointer::decode(l.s.u32(l.page, single + kLongValueRow));
    const RowPointer link = RowPointer::decode(l.s.u32(l.page, chain + kLongValueRow));
    const std::uint16_t lvalRows = l.s.u16(lval.page, dp::kSlotCount), linkEnd = l.s.slot(link).end;
    const TableDef other = l.s.def("objednavaci_system"); // row 2 keeps an empty memo inline
    const RowPointer empty{l.s.map(other.ownedPages).at(0), 2};
    const std::size_t inlineAt = l.valueAt(empty, other.column("report")->varSlot);
    const std::uint32_t fileSize = (l.s.last() + 1) * kPageSize;
    const char* outside = "dlhá hodnota ukazuje mimo súboru";
    expectBounds({
        {"reference length", l.page, l.varAt(l.row(2), slot), 2, single - l.start(2), single - l.start(2) + 1,
         "skrátený odkaz na dlhú hodnotu"},
        {"inline length", empty.page, inlineAt, 4, kLongValueInline, kLongValueInline + 1, "vložená dlhá hodnota"},
        {"length against the file", l.page, single, 4, kLongValueSingle | fileSize, (kLongValueSingle | fileSize) + 1,
         "dlhšia ako súbor"},
        {"length against its row", l.page, single, 4, head, head + 1u, "kratšia ako jej uložená dĺžka"},
        {"LVAL page, low", l.page, single + kLongValueRow, 4, at(1), at(0), outside},
        {"LVAL page, high", l.page, single + kLongValueRow, 4, at(l.s.last()), at(l.s.last() + 1), outside},
        {"LVAL row", l.page, single + kLongValueRow, 4, at(lval.page, lvalRows - 1), at(lval.page, lvalRows),
         "dlhá hodnota: riadok " + std::to_string(lvalRows) + " neexistuje"},
        {"chain link length", link.page, dp::slotAt(link.row), 2, linkEnd - kChainLinkHeader - 1u,
         linkEnd - kChainLinkHeader, "prázdny článok dlhej hodnoty"},
        {"chain length", l.page, chain, 4, chainHead, chainHead + 1u, "končí predčasne"},
    });
}

TEST(RecordBounds, DatabaseProperties) {
    Sample s;
    Catalog catalog;
    ASSERT_TRUE(readCatalog(s.pager(), &catalog).ok());
    const Bytes file = test_files::readAll(test_files::testData("sample.mdb")), &blob = catalog.databaseProperties;
    const std::size_t found = std::search(file.begin(), file.end(), blob.begin(), blob.end()) - file.begin();
    const std::uint32_t page = found / kPageSize;
    const std::size_t at = found % kPageSize;
    // The blob: a signature, a block of 76 bytes naming AccessVersion, Build
    // and TABLES_VERSION (the last name's length at 50), then the default
    // block at 80 (its header's length at 86, the object name's at 90)
    // whose last record, at 122, holds TABLES_VERSION (its name at 126, the
    // value's length at 128). Each of these fills its place exactly.
    auto exact = [&](const char* what, std::size_t offset, int width, const char* refusal) {
        const std::uint64_t v = width == 2 ? s.u16(page, at + offset) : s.u32(page, at + offset);
        return Bound{what, page, at + offset, width, v, v + 1, refusal};
    };
    const char* header = "hlavička bloku presahuje blok";
    expectBounds({
        exact("last name", 50, 2, "meno presahuje zoznam mien"),
        exact("last block", 80, 4, "blok presahuje záznam"),
        {"block header, low", page, at + 86, 4, 6, 5, header},
        {"block header, high", page, at + 86, 4, blob.size() - 86, blob.size() - 85, header},
        exact("object name", 90, 2, header),
        exact("last record", 122, 2, "záznam presahuje blok"),
        exact("last record's name", 126, 2, "odkaz na neexistujúce meno"),
        exact("last record's value", 128, 2, "hodnota presahuje záznam"),
    });
}
