#include "jet/check.h"

#include <algorithm>
#include <span>
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

// A set of page numbers as one bit each: 2 MB at most (page numbers of
// 24 bits), 64 KB for a file of 2 GB.
class PageSet {
public:
    void insert(std::uint32_t page) {
        if (page >= bits_.size()) bits_.resize(page + 1);
        bits_[page] = true;
    }
    // Calls `f` with each member in ascending order.
    template <class F> void forEach(F f) const {
        for (std::uint32_t p = 0; p < bits_.size(); ++p)
            if (bits_[p]) f(p);
    }

private:
    std::vector<bool> bits_;
};

// What a row of the current chunk should have in one index. The key lies
// in its index's key bytes.
struct Expected {
    std::uint32_t row = 0; // RowPointer::encode()
    std::uint32_t keyAt = 0;
    std::uint32_t keyLength = 0;
    bool known = false; // the key could be encoded
    bool anyNull = false;
    bool allNull = false;
    bool seen = false;
};

// Where a problem of an index stands among the others of the index: the
// order in which a check holding every row at once would meet them.
enum class Phase { Tree, Entries, RowsReached, Uniqueness };
using Order = std::pair<Phase, std::uint64_t>;

// The first problems of one index in their order, found in any order: no
// more are kept than one table reports, the rest are only counted.
class FoundProblems {
public:
    // `line` makes the problem's text, only if it is kept.
    template <class Line> void add(Order order, Line line) {
        ++count_;
        if (kept_.size() == kMaxProblemsPerTable && !(order < kept_.front().order)) return;
        kept_.push_back({order, line()});
        std::push_heap(kept_.begin(), kept_.end(), later);
        if (kept_.size() > kMaxProblemsPerTable) {
            std::pop_heap(kept_.begin(), kept_.end(), later);
            kept_.pop_back();
        }
    }
    void clear() { *this = FoundProblems{}; }
    std::vector<std::string> inOrder() const {
        std::vector<Found> sorted = kept_;
        std::sort(sorted.begin(), sorted.end(), later);
        std::vector<std::string> lines;
        for (Found& f : sorted) lines.push_back(std::move(f.line));
        return lines;
    }
    std::uint64_t count() const { return count_; }

private:
    struct Found {
        Order order;
        std::string line;
    };
    static bool later(const Found& a, const Found& b) { return a.order < b.order; }
    std::vector<Found> kept_; // a heap with the latest on top
    std::uint64_t count_ = 0;
};

struct IndexCheck {
    const RealIndexDef* def = nullptr;
    std::string name;
    bool unique = false;
    std::vector<KeyColumn> columns;
    Status columnsStatus;
    std::string notEncodable; // why some keys could not be encoded
    bool sound = false;       // the tree was walked whole
    std::uint64_t distinct = 0;
    std::vector<Expected> rows; // the current chunk's, by row pointer
    Bytes keys;
    std::uint64_t treeProblems = 0; // problems of the Tree phase so far
    FoundProblems problems;
    IndexSummary summary;
};

// Pages in use must not be free in the global map, or the next page
// allocation would overwrite them. Each page is looked up as a table
// declares it used; each is reported once, for its first user.
class GlobalMapCheck {
public:
    explicit GlobalMapCheck(Pager& pager) : read_(readFreePages(pager, &free_)) {}

    void use(std::uint32_t page, const std::string& table) {
        if (read_.ok() && std::binary_search(free_.begin(), free_.end(), page) && reported_.insert(page).second)
            problems_.push_back("tabuľka " + table + ": strana " + std::to_string(page) +
                                ", ktorú používa, je v globálnej mape strán voľná");
    }

    void report(CheckReport* out) const {
        if (!read_.ok()) return out->problems.push_back("globálna mapa strán: " + read_.message());
        out->problems.insert(out->problems.end(), problems_.begin(), problems_.end());
    }

private:
    std::vector<std::uint32_t> free_;
    Status read_;
    std::unordered_set<std::uint32_t> reported_;
    std::vector<std::string> problems_;
};

// Checks one table. Its rows are compared with its indexes a chunk at a
// time: the rows the scan meets until what they should have in the
// indexes fills `rowMemory` bytes; each further chunk scans the table and
// walks its indexes again. The scan meets rows in ascending order of their
// pointers (pages as their map lists them, slots in order), so each chunk
// owns a range of row pointers, and an entry pointing into the range to no
// row of the chunk points to no row at all.
class TableCheck {
public:
    TableCheck(Database& db, const TableInfo& info, CheckReport& report, GlobalMapCheck& globalMap,
               std::size_t rowMemory)
        : db_(db), info_(info), report_(report), globalMap_(globalMap), rowMemory_(rowMemory) {}

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
        for (IndexCheck& ix : indexes_) {
            if (!ix.columnsStatus.ok()) treeProblem(ix, ix.columnsStatus.message());
            else walk(ix);
        }
        walked_ = true;
        while (chunkClosed_ && std::any_of(indexes_.begin(), indexes_.end(), [](auto& ix) { return ix.sound; })) {
            rescan();
            for (IndexCheck& ix : indexes_)
                if (ix.sound) walk(ix);
        }
        for (IndexCheck& ix : indexes_) finish(ix);
        if (suppressed_)
            report_.problems.push_back(where() + ": ďalšie chyby (" + std::to_string(suppressed_) + ") sa nevypisujú");
    }

private:
    bool strict() const { return info_.kind == TableInfo::Kind::User; }
    std::string where() const { return "tabuľka " + info_.name; }

    void use(const std::vector<std::uint32_t>& pages) {
        for (std::uint32_t p : pages) globalMap_.use(p, info_.name);
    }

    void problem(const std::string& line) {
        if (problems_++ < kMaxProblemsPerTable) report_.problems.push_back(where() + ": " + line);
        else ++suppressed_;
    }
    void note(const std::string& what) { report_.notes.push_back(where() + ": " + what); }
    void treeProblem(IndexCheck& ix, const std::string& what) {
        ix.problems.add({Phase::Tree, ix.treeProblems++}, [&] { return what; });
    }

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

    // Reads every row once; what the first chunk of rows should have in
    // the indexes is kept.
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
            if (!chunkClosed_) keep(cursor.rowId(), values, readable);
        }
        rowsScanned_ = count;
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
        lvalPages_.clear();
        Status s = cursor.read(i, out, &lvalPages_);
        if (!s.ok()) return s; // reported as unreadable instead
        if (!isNull(*out)) ++report_.longValues;
        PageSet& reached = longValuePages_[c.number];
        for (std::uint32_t p : lvalPages_) reached.insert(p);
        return s;
    }

    // Keeps what the current row should have in each index while the
    // chunk has room; the first row that finds it full ends the chunk's
    // range of row pointers.
    void keep(RowPointer row, const std::vector<Value>& values, const std::vector<bool>& readable) {
        if (chunkBytes_ >= rowMemory_) {
            chunkClosed_ = true;
            rangeEnd_ = row.encode();
            return;
        }
        ++chunkRows_;
        for (IndexCheck& ix : indexes_)
            if (ix.sound || !walked_) expect(ix, row, values, readable);
    }

    // Scans the table again for the next chunk, reading only the key
    // columns of the indexes still walked.
    void rescan() {
        chunkFirst_ += chunkRows_;
        chunkRows_ = 0;
        chunkBytes_ = 0;
        chunkClosed_ = false;
        rangeBegin_ = rangeEnd_;
        rangeEnd_ = kPastEveryRow;
        std::vector<bool> wanted(table().def().columns.size());
        for (IndexCheck& ix : indexes_) {
            ix.rows.clear();
            ix.keys.clear();
            for (const KeyColumn& c : ix.columns)
                if (ix.sound && c.position < wanted.size()) wanted[c.position] = true;
        }
        TableScan cursor(table(), false);
        std::vector<Value> values(wanted.size());
        std::vector<bool> readable(wanted.size());
        for (std::uint64_t seen = 0; seen < rowsScanned_ && !chunkClosed_;) {
            bool hasRow = false;
            if (!cursor.next(&hasRow).ok()) continue; // reported by the first scan
            if (!hasRow) break;
            if (seen++ < chunkFirst_) continue;
            for (std::size_t i = 0; i < wanted.size(); ++i) readable[i] = wanted[i] && cursor.read(i, &values[i]).ok();
            keep(cursor.rowId(), values, readable);
        }
    }

    void expect(IndexCheck& ix, RowPointer row, const std::vector<Value>& values, const std::vector<bool>& readable) {
        Expected e;
        e.row = row.encode();
        bool allReadable = ix.columnsStatus.ok();
        for (const KeyColumn& c : ix.columns)
            allReadable = allReadable && c.position < values.size() && readable[c.position];
        if (allReadable) {
            e.allNull = allKeyValuesNull(ix.columns, values);
            e.anyNull = anyKeyValueNull(ix.columns, values);
            Status s = encodeKey(ix.columns, values, &key_);
            e.known = s.ok();
            if (!s.ok() && ix.notEncodable.empty()) ix.notEncodable = s.message();
            if (e.known) {
                e.keyAt = static_cast<std::uint32_t>(ix.keys.size());
                e.keyLength = static_cast<std::uint32_t>(key_.size());
                ix.keys.insert(ix.keys.end(), key_.begin(), key_.end());
            }
        }
        ix.rows.push_back(e);
        chunkBytes_ += sizeof(Expected) + e.keyLength;
    }

    // The current chunk's row `row` in `ix`; null for a row the chunk lacks.
    static Expected* expected(IndexCheck& ix, std::uint32_t row) {
        auto it = std::lower_bound(ix.rows.begin(), ix.rows.end(), row,
                                   [](const Expected& e, std::uint32_t r) { return e.row < r; });
        return it != ix.rows.end() && it->row == row ? &*it : nullptr;
    }

    // Walks the index and compares its entries into the current chunk's
    // range with the chunk's rows. The first walk checks the tree itself,
    // its usage map and its count of distinct keys as well. An index
    // whose tree is damaged reports only that.
    void walk(IndexCheck& ix) {
        const bool first = !walked_;
        Pager& pager = table().pager();
        IndexSummary counts;
        std::uint64_t position = 0;
        Bytes previous;
        IndexWalk walk;
        Status s = walkIndex([&pager](std::uint32_t n, PageRef* out) { return pager.read(n, out); }, ix.def->firstPage,
                             table().def().firstPage,
                             [&](std::span<const std::uint8_t> key, RowPointer row, std::uint32_t leafPage) {
                                 const std::uint64_t at = position++;
                                 const bool repeated =
                                     at > 0 && std::equal(key.begin(), key.end(), previous.begin(), previous.end());
                                 if (!repeated) previous.assign(key.begin(), key.end());
                                 if (first && !repeated) ++ix.distinct;
                                 if (row.encode() >= rangeBegin_ && row.encode() < rangeEnd_)
                                     checkEntry(ix, at, key, row, leafPage, repeated, &counts);
                             },
                             &walk);
        if (!s.ok()) {
            ix.sound = false;
            ix.problems.clear();
            ix.treeProblems = 0;
            return treeProblem(ix, s.message());
        }
        if (first) {
            ix.sound = true;
            ix.summary.entries = position;
            use(walk.pages);
            use({ix.def->usageMap.page});
            checkUsageMap(ix, walk);
        }
        ix.summary.keysCompared += counts.keysCompared;
        ix.summary.keysNotCompared += counts.keysNotCompared;
        checkRowsReached(ix);
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
            longValuePages_[m.column].forEach([&](std::uint32_t p) {
                if (!std::binary_search(pages.begin(), pages.end(), p))
                    problem("dlhá hodnota stĺpca " + columnName(m.column) + " leží na strane " + std::to_string(p) +
                            ", ktorá nie je v mape dlhých hodnôt stĺpca");
            });
        }
    }

    // The long-value pages listed as having room are the column's own and
    // take at least a one-byte value (the last one spared, as above).
    // Access leaves the free-space map of some system tables' columns at page 0.
    void checkLongValueRoom(const LongValueMaps& m, const std::vector<std::uint32_t>& owned) {
        if (m.freePages.page == 0) return;
        checkRoomMap(m.freePages, "mapa dlhých hodnôt s voľným miestom", owned, kLvalOwner, 1,
                     [&](std::uint32_t p, RoomFault fault) {
                         return "mapa dlhých hodnôt stĺpca " + columnName(m.column) +
                                " s voľným miestom uvádza stranu " + std::to_string(p) +
                                (fault == RoomFault::Foreign ? ", ktorá nie je v mape dlhých hodnôt stĺpca"
                                                             : ", do ktorej sa už nič nevojde");
                     });
    }

    std::string columnName(std::uint16_t number) const {
        for (const ColumnDef& c : table().def().columns)
            if (c.number == number) return c.name;
        return std::to_string(number);
    }

    void checkUsageMap(IndexCheck& ix, const IndexWalk& walk) {
        std::vector<std::uint32_t> members;
        Status s = readUsageMap(table().pager(), ix.def->usageMap, &members);
        if (!s.ok()) return treeProblem(ix, "mapa stránok indexu: " + s.message());
        for (std::uint32_t p : walk.pages)
            if (!std::binary_search(members.begin(), members.end(), p))
                treeProblem(ix, "strana " + std::to_string(p) + " stromu chýba v mape strán indexu");
        std::vector<std::uint32_t> tree = walk.pages;
        std::sort(tree.begin(), tree.end());
        for (std::uint32_t p : members)
            if (!std::binary_search(tree.begin(), tree.end(), p))
                treeProblem(ix, "mapa strán indexu uvádza stranu " + std::to_string(p) + ", ktorá do stromu nepatrí");
    }

    // One entry, at `position` in key order, that points into the current
    // chunk's range. `repeated`: its key equals the previous entry's.
    void checkEntry(IndexCheck& ix, std::uint64_t position, std::span<const std::uint8_t> key, RowPointer row,
                    std::uint32_t leafPage, bool repeated, IndexSummary* counts) {
        const auto at = [leafPage] { return " (strana " + std::to_string(leafPage) + ")"; };
        Expected* x = expected(ix, row.encode());
        const Order order{Phase::Entries, position};
        if (!x) {
            ix.problems.add(
                order, [&] { return "záznam ukazuje na riadok " + rowName(row) + ", ktorý v tabuľke nie je" + at(); });
        } else if (x->seen) {
            ix.problems.add(order, [&] { return "riadok " + rowName(row) + " má v indexe viac záznamov" + at(); });
        } else {
            x->seen = true;
            const auto stored = std::span<const std::uint8_t>(ix.keys).subspan(x->keyAt, x->keyLength);
            if (!x->known) ++counts->keysNotCompared;
            else if (!std::equal(stored.begin(), stored.end(), key.begin(), key.end()))
                ix.problems.add(order,
                                [&] { return "kľúč riadka " + rowName(row) + " nezodpovedá hodnotám riadka" + at(); });
            else ++counts->keysCompared;
        }
        const bool exempt = !x || x->anyNull;
        if (repeated && ix.unique && !exempt)
            ix.problems.add({Phase::Uniqueness, position}, [&] {
                return "kľúč riadka " + rowName(row) + " sa v jedinečnom indexe opakuje (strana " +
                       std::to_string(leafPage) + ")";
            });
    }

    void checkRowsReached(IndexCheck& ix) {
        for (const Expected& x : ix.rows)
            if (!x.seen && !(ix.def->ignoresNulls() && x.allNull))
                ix.problems.add({Phase::RowsReached, x.row}, [&] {
                    return "riadok " + rowName(RowPointer::decode(x.row)) + " nemá v indexe záznam";
                });
    }

    // Reports what was found in the index, once every chunk is done.
    void finish(IndexCheck& ix) {
        for (const std::string& line : ix.problems.inOrder()) problem("index " + ix.name + ": " + line);
        const std::uint64_t unkept =
            ix.problems.count() - std::min<std::uint64_t>(ix.problems.count(), kMaxProblemsPerTable);
        problems_ += unkept; // beyond what one table reports
        suppressed_ += unkept;
        if (!ix.sound) return;
        if (ix.distinct != ix.def->statDistinct)
            note("index " + ix.name + ": uložený počet rôznych kľúčov " + std::to_string(ix.def->statDistinct) +
                 ", skutočný " + std::to_string(ix.distinct));
        ++report_.indexes;
        report_.entries += ix.summary.entries;
        report_.keysCompared += ix.summary.keysCompared;
        report_.keysNotCompared += ix.summary.keysNotCompared;
        report_.indexSummaries.push_back(ix.summary);
        if (!ix.notEncodable.empty()) note("index " + ix.name + ": kľúče neporovnané (" + ix.notEncodable + ")");
    }

    const TableImpl& table() const { return impl(*table_); }

    // Past every row pointer: the range of the last chunk.
    static constexpr std::uint64_t kPastEveryRow = std::uint64_t(1) << 32;

    Database& db_;
    const TableInfo& info_;
    CheckReport& report_;
    GlobalMapCheck& globalMap_;
    const std::size_t rowMemory_;
    std::unique_ptr<Table> table_;
    std::vector<IndexCheck> indexes_;
    std::unordered_map<std::uint16_t, PageSet> longValuePages_; // by column number
    std::vector<std::uint32_t> lvalPages_;                      // of the value just read
    Bytes key_;                                                 // the key just encoded
    std::uint64_t rowsScanned_ = 0;
    bool walked_ = false; // every index walked once
    // The current chunk: its first row's place in the scan, its rows, the
    // bytes they take, its range of row pointers and whether rows are
    // left after it.
    std::uint64_t chunkFirst_ = 0;
    std::uint64_t chunkRows_ = 0;
    std::size_t chunkBytes_ = 0;
    std::uint64_t rangeBegin_ = 0;
    std::uint64_t rangeEnd_ = kPastEveryRow;
    bool chunkClosed_ = false;
    std::size_t problems_ = 0;
    std::size_t suppressed_ = 0;
};

} // namespace

Status checkDatabase(Database& db, CheckReport* out, std::size_t rowMemory) {
    *out = CheckReport{};
    GlobalMapCheck globalMap(impl(db).pager());
    for (const TableInfo& info : impl(db).tables())
        if (info.kind != TableInfo::Kind::Linked) TableCheck(db, info, *out, globalMap, rowMemory).run();
    globalMap.report(out);
    return Status::OK();
}

Status checkFile(const std::string& path, CheckReport* out, std::size_t rowMemory) {
    std::unique_ptr<Database> db;
    JET_TRY(Database::open(path, OpenMode::ReadOnly, &db));
    return checkDatabase(*db, out, rowMemory);
}

} // namespace jet
