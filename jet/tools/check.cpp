#include "jet/check.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "jet/db/database_impl.h"
#include "jet/format/data_page.h"
#include "jet/format/data_page_writer.h"
#include "jet/index/index_walk.h"
#include "jet/index/keys.h"
#include "jet/format/usage_map.h"
#include "jet/table/row_writer.h"

namespace jet {
namespace {

// Problems reported per table before the rest are only counted.
constexpr std::size_t kMaxProblemsPerTable = 50;

std::string rowName(RowPointer r) { return std::to_string(r.page) + ":" + std::to_string(r.row); }

// What a row should have in one index.
struct Expected {
    Bytes key;
    bool known = false; // the key could be encoded
    bool anyNull = false;
    bool allNull = false;
    bool seen = false;
};

struct IndexCheck {
    const RealIndexDef* def = nullptr;
    std::string name;
    bool unique = false;
    std::vector<KeyColumn> columns;
    Status columnsStatus;
    std::string notEncodable; // why some keys could not be encoded
    std::unordered_map<std::uint32_t, Expected> rows;
    IndexSummary summary;
};

// A page some table uses, to be found in use in the global map.
struct PageUse {
    std::uint32_t page;
    std::string table;
};

class TableCheck {
public:
    TableCheck(Database& db, const TableInfo& info, CheckReport& report, std::vector<PageUse>& used)
        : db_(db), info_(info), report_(report), used_(used) {}

    void run() {
        Status s = db_.openTable(info_.name, &table_);
        if (!s.ok()) return problem(s.message());
        ++report_.tables;
        const TableDef& def = table().def();
        use(def.pages);
        use({def.ownedPages.page, def.freePages.page});
        prepareIndexes();
        scanRows();
        checkOwnedPages();
        checkLongValuePages();
        for (IndexCheck& ix : indexes_) checkIndex(ix);
        if (suppressed_)
            report_.problems.push_back(where() + ": ďalšie chyby (" + std::to_string(suppressed_) + ") sa nevypisujú");
    }

private:
    bool strict() const { return info_.kind == TableInfo::Kind::User; }
    std::string where() const { return "tabuľka " + info_.name; }

    void use(const std::vector<std::uint32_t>& pages) {
        for (std::uint32_t p : pages) used_.push_back({p, info_.name});
    }

    void problem(const std::string& line) {
        if (problems_++ < kMaxProblemsPerTable) report_.problems.push_back(where() + ": " + line);
        else ++suppressed_;
    }
    void problem(const IndexCheck& ix, const std::string& what) { problem("index " + ix.name + ": " + what); }
    void note(const std::string& what) { report_.notes.push_back(where() + ": " + what); }

    void prepareIndexes() {
        const TableDef& def = table().def();
        for (const RealIndexDef& r : def.realIndexes) {
            IndexCheck ix;
            ix.def = &r;
            ix.name = def.indexName(r);
            ix.unique = r.isUnique() || def.isPrimaryKey(r);
            ix.columnsStatus = keyColumnsOf(def, r, &ix.columns);
            ix.summary.table = info_.name;
            ix.summary.index = ix.name;
            for (const KeyColumn& c : ix.columns)
                ix.summary.text = ix.summary.text || c.type == ColumnType::Text || c.type == ColumnType::Memo;
            indexes_.push_back(std::move(ix));
        }
    }

    void scanRows() {
        const TableDef& def = table().def();
        TableScan cursor(table(), false);
        std::vector<Value> values(def.columns.size());
        std::vector<bool> readable(def.columns.size());
        std::uint64_t count = 0;
        std::int64_t highestAutonumber = 0;
        for (;;) {
            bool hasRow = false;
            Status s = cursor.next(&hasRow);
            if (!s.ok()) {
                problem(s.message());
                if (problems_ > kMaxProblemsPerTable) break;
                continue;
            }
            if (!hasRow) break;
            ++count;
            for (std::size_t i = 0; i < def.columns.size(); ++i) {
                Status r = readColumn(cursor, i, &values[i]);
                readable[i] = r.ok();
                if (!r.ok())
                    problem("riadok " + rowName(cursor.rowId()) + ", stĺpec " + def.columns[i].name + ": " +
                            r.message());
                else if (def.columns[i].isAutonumber() && std::holds_alternative<std::int64_t>(values[i]))
                    highestAutonumber = std::max(highestAutonumber, std::get<std::int64_t>(values[i]));
            }
            for (IndexCheck& ix : indexes_) expect(ix, cursor.rowId(), values, readable);
        }
        report_.rows += count;
        if (count != def.rowCount) {
            const std::string what =
                "uložený počet riadkov " + std::to_string(def.rowCount) + ", skutočný " + std::to_string(count);
            strict() ? problem(what) : note(what);
        }
        // The counter names the last number handed out; a lower one would be
        // handed out again.
        if (highestAutonumber > static_cast<std::int64_t>(def.autonumber))
            problem("počítadlo automatického čísla " + std::to_string(def.autonumber) + " je nižšie ako číslo " +
                    std::to_string(highestAutonumber) + " v tabuľke");
    }

    // Column `i` of the current row. The LVAL pages a memo or OLE value
    // lies on are kept, to be found in its column's map.
    Status readColumn(const TableScan& cursor, std::size_t i, Value* out) {
        const ColumnDef& c = table().def().columns[i];
        if (!c.isLongValue()) return cursor.read(i, out);
        std::vector<std::uint32_t>& pages = longValuePages_[c.number];
        const std::size_t from = pages.size();
        Status s = cursor.read(i, out, &pages);
        if (!s.ok()) pages.resize(from); // reported as unreadable instead
        else if (!isNull(*out)) ++report_.longValues;
        // Values stored one after another share their pages.
        if (from > 0 && pages.size() > from && pages[from] == pages[from - 1]) pages.erase(pages.begin() + from);
        return s;
    }

    void expect(IndexCheck& ix, RowPointer row, const std::vector<Value>& values, const std::vector<bool>& readable) {
        Expected e;
        bool allReadable = ix.columnsStatus.ok();
        for (const KeyColumn& c : ix.columns)
            allReadable = allReadable && c.position < values.size() && readable[c.position];
        if (allReadable) {
            e.allNull = allKeyValuesNull(ix.columns, values);
            e.anyNull = anyKeyValueNull(ix.columns, values);
            Status s = encodeKey(ix.columns, values, &e.key);
            e.known = s.ok();
            if (!s.ok() && ix.notEncodable.empty()) ix.notEncodable = s.message();
        }
        ix.rows[row.encode()] = std::move(e);
    }

    void checkIndex(IndexCheck& ix) {
        if (!ix.columnsStatus.ok()) return problem(ix, ix.columnsStatus.message());
        Pager& pager = table().pager();
        IndexWalk walk;
        Status s = walkIndex([&pager](std::uint32_t n, PageRef* out) { return pager.read(n, out); }, ix.def->firstPage,
                             table().def().firstPage, &walk);
        if (!s.ok()) return problem(ix, s.message());
        ix.summary.entries = walk.entries.size();
        use(walk.pages);
        use({ix.def->usageMap.page});
        checkUsageMap(ix, walk);
        checkEntries(ix, walk);
        checkRowsReached(ix);
        checkUniqueness(ix, walk);
        ++report_.indexes;
        report_.entries += ix.summary.entries;
        report_.keysCompared += ix.summary.keysCompared;
        report_.keysNotCompared += ix.summary.keysNotCompared;
        report_.indexSummaries.push_back(ix.summary);
        if (!ix.notEncodable.empty()) note("index " + ix.name + ": kľúče neporovnané (" + ix.notEncodable + ")");
    }

    void checkUsageMap(const IndexCheck& ix, const IndexWalk& walk) {
        std::vector<std::uint32_t> members;
        Status s = readUsageMap(table().pager(), ix.def->usageMap, &members);
        if (!s.ok()) return problem(ix, "mapa stránok indexu: " + s.message());
        for (std::uint32_t p : walk.pages)
            if (!std::binary_search(members.begin(), members.end(), p))
                problem(ix, "strana " + std::to_string(p) + " stromu chýba v mape strán indexu");
        std::vector<std::uint32_t> tree = walk.pages;
        std::sort(tree.begin(), tree.end());
        for (std::uint32_t p : members)
            if (!std::binary_search(tree.begin(), tree.end(), p))
                problem(ix, "mapa strán indexu uvádza stranu " + std::to_string(p) + ", ktorá do stromu nepatrí");
    }

    // Every page of the owned-pages map is a data page of this table.
    void checkOwnedPages() {
        std::vector<std::uint32_t> pages;
        if (!table().dataPages(&pages).ok()) return; // reported by the row scan
        use(pages);
        for (std::uint32_t p : pages) {
            PageRef ref;
            Status s = table().pager().read(p, &ref);
            if (!s.ok()) problem(s.message());
            else if (!isDataPageOf(*ref, table().def().firstPage))
                problem("mapa strán tabuľky uvádza stranu " + std::to_string(p) + ", ktorá nie je jej dátovou stranou");
            else checkFreeSpace(p, *ref);
        }
        const std::string listed = "mapa strán s voľným miestom";
        checkRoomMap(table().def().freePages, listed, pages, table().def().firstPage,
                     RowLayout(table().def()).rowLength(0), [&](std::uint32_t p, RoomFault fault) {
                         return listed + " uvádza stranu " + std::to_string(p) +
                                (fault == RoomFault::Foreign ? ", ktorú tabuľka nemá"
                                                             : ", do ktorej sa už nevojde ani najkratší riadok");
                     });
    }

    enum class RoomFault { Foreign, Full };

    // The pages a map of pages with room lists must be among `owned` and,
    // but for the last one, take `shortest` bytes (see lacksRoom).
    // `describe` words the fault found with a listed page.
    template <class Describe>
    void checkRoomMap(RowPointer map, const std::string& name, const std::vector<std::uint32_t>& owned,
                      std::uint32_t owner, std::size_t shortest, Describe describe) {
        std::vector<std::uint32_t> withRoom;
        Status s = readUsageMap(table().pager(), map, &withRoom);
        if (!s.ok()) return problem(name + ": " + s.message());
        for (std::uint32_t p : withRoom)
            if (!std::binary_search(owned.begin(), owned.end(), p)) problem(describe(p, RoomFault::Foreign));
            else if (p != withRoom.back() && lacksRoom(p, owner, shortest)) problem(describe(p, RoomFault::Full));
    }

    // A page listed as having room must take at least the shortest row it
    // is meant for, or every writer would look at it in vain and its owner's
    // pages would never be reused. Writers take a page off the map only when
    // a row did not fit on it, and they fill the last listed page, so that
    // one may be full and is spared. False only for a data page of `owner`
    // whose slot table is sound.
    bool lacksRoom(std::uint32_t pgno, std::uint32_t owner, std::size_t shortest) {
        PageRef ref;
        if (!table().pager().read(pgno, &ref).ok() || !isDataPageOf(*ref, owner)) return false;
        const std::uint16_t slots = slotCountOf(*ref);
        if (data_page::slotAt(slots) > kPageSize) return false; // reported with the free space
        return slots >= data_page::kMaxSlotsWritten || dataPageGap(*ref) < shortest + data_page::kSlotSize;
    }

    // The free-space field of a data page is the gap between its slot table
    // and its lowest row.
    void checkFreeSpace(std::uint32_t pgno, const Page& page) {
        const std::size_t tableEnd = data_page::slotAt(slotCountOf(page));
        const std::size_t lowest = tableEnd <= kPageSize ? lowestBodyStart(page) : kPageSize;
        const std::uint16_t stored = le16(&page.bytes[data_page::kFreeSpace]);
        if (lowest < tableEnd || stored != lowest - tableEnd)
            problem("strana " + std::to_string(pgno) + " udáva voľné miesto " + std::to_string(stored) + ", skutočné " +
                    (lowest < tableEnd ? std::string("žiadne") : std::to_string(lowest - tableEnd)));
    }

    // The long-value pages that the memo and OLE columns' maps list.
    void checkLongValuePages() {
        for (const LongValueMaps& m : table().def().longValueMaps) {
            std::vector<std::uint32_t> pages;
            Status s = readUsageMap(table().pager(), m.ownedPages, &pages);
            if (!s.ok()) {
                problem("mapa dlhých hodnôt: " + s.message());
                continue;
            }
            use(pages);
            use({m.ownedPages.page, m.freePages.page});
            checkLongValueRoom(m, pages);
            std::vector<std::uint32_t>& reached = longValuePages_[m.column];
            std::sort(reached.begin(), reached.end());
            reached.erase(std::unique(reached.begin(), reached.end()), reached.end());
            for (std::uint32_t p : reached)
                if (!std::binary_search(pages.begin(), pages.end(), p))
                    problem("dlhá hodnota stĺpca " + columnName(m.column) + " leží na strane " + std::to_string(p) +
                            ", ktorá nie je v mape dlhých hodnôt stĺpca");
        }
    }

    // The long-value pages listed as having room are the column's own and
    // take at least a one-byte value (the last one spared, as above).
    // Access leaves the free-space map of some system tables' columns at page 0.
    void checkLongValueRoom(const LongValueMaps& m, const std::vector<std::uint32_t>& owned) {
        if (m.freePages.page == 0) return;
        checkRoomMap(m.freePages, "mapa dlhých hodnôt s voľným miestom", owned, kLvalOwner, 1,
                     [&](std::uint32_t p, RoomFault fault) {
                         return "mapa dlhých hodnôt stĺpca " + columnName(m.column) + " s voľným miestom uvádza stranu " +
                                std::to_string(p) +
                                (fault == RoomFault::Foreign ? ", ktorá nie je v mape dlhých hodnôt stĺpca"
                                                             : ", do ktorej sa už nič nevojde");
                     });
    }

    std::string columnName(std::uint16_t number) const {
        for (const ColumnDef& c : table().def().columns)
            if (c.number == number) return c.name;
        return std::to_string(number);
    }

    void checkEntries(IndexCheck& ix, const IndexWalk& walk) {
        for (const LeafEntry& e : walk.entries) {
            const std::string at = " (strana " + std::to_string(e.leafPage) + ")";
            auto it = ix.rows.find(e.row.encode());
            if (it == ix.rows.end()) {
                problem(ix, "záznam ukazuje na riadok " + rowName(e.row) + ", ktorý v tabuľke nie je" + at);
                continue;
            }
            Expected& x = it->second;
            if (x.seen) {
                problem(ix, "riadok " + rowName(e.row) + " má v indexe viac záznamov" + at);
                continue;
            }
            x.seen = true;
            if (!x.known) {
                ++ix.summary.keysNotCompared;
            } else if (x.key != e.key) {
                problem(ix, "kľúč riadka " + rowName(e.row) + " nezodpovedá hodnotám riadka" + at);
            } else {
                ++ix.summary.keysCompared;
            }
        }
    }

    void checkRowsReached(const IndexCheck& ix) {
        for (const auto& [row, x] : ix.rows)
            if (!x.seen && !(ix.def->ignoresNulls() && x.allNull))
                problem(ix, "riadok " + rowName(RowPointer::decode(row)) + " nemá v indexe záznam");
    }

    void checkUniqueness(const IndexCheck& ix, const IndexWalk& walk) {
        std::uint32_t distinct = 0;
        for (std::size_t i = 0; i < walk.entries.size(); ++i) {
            const LeafEntry& e = walk.entries[i];
            if (i == 0 || walk.entries[i - 1].key != e.key) {
                ++distinct;
                continue;
            }
            auto it = ix.rows.find(e.row.encode());
            const bool exempt = it == ix.rows.end() || it->second.anyNull;
            if (ix.unique && !exempt)
                problem(ix, "kľúč riadka " + rowName(e.row) + " sa v jedinečnom indexe opakuje (strana " +
                                std::to_string(e.leafPage) + ")");
        }
        if (distinct != ix.def->statDistinct)
            note("index " + ix.name + ": uložený počet rôznych kľúčov " + std::to_string(ix.def->statDistinct) +
                 ", skutočný " + std::to_string(distinct));
    }

    const TableImpl& table() const { return impl(*table_); }

    Database& db_;
    const TableInfo& info_;
    CheckReport& report_;
    std::vector<PageUse>& used_;
    std::unique_ptr<Table> table_;
    std::vector<IndexCheck> indexes_;
    std::unordered_map<std::uint16_t, std::vector<std::uint32_t>> longValuePages_; // by column number
    std::size_t problems_ = 0;
    std::size_t suppressed_ = 0;
};

// Pages in use must not be free in the global map, or the next page
// allocation would overwrite them.
void checkGlobalMap(Pager& pager, const std::vector<PageUse>& used, CheckReport* out) {
    std::vector<std::uint32_t> free;
    Status s = readFreePages(pager, &free);
    if (!s.ok()) return out->problems.push_back("globálna mapa strán: " + s.message());
    std::unordered_set<std::uint32_t> reported;
    for (const PageUse& u : used)
        if (std::binary_search(free.begin(), free.end(), u.page) && reported.insert(u.page).second)
            out->problems.push_back("tabuľka " + u.table + ": strana " + std::to_string(u.page) +
                                    ", ktorú používa, je v globálnej mape strán voľná");
}

} // namespace

Status checkDatabase(Database& db, CheckReport* out) {
    *out = CheckReport{};
    std::vector<PageUse> used;
    for (const TableInfo& info : impl(db).tables())
        if (info.kind != TableInfo::Kind::Linked) TableCheck(db, info, *out, used).run();
    checkGlobalMap(impl(db).pager(), used, out);
    return Status::OK();
}

Status checkFile(const std::string& path, CheckReport* out) {
    std::unique_ptr<Database> db;
    JET_TRY(Database::open(path, OpenMode::ReadOnly, &db));
    return checkDatabase(*db, out);
}

} // namespace jet
