#include "jet/table/table_impl.h"

#include <algorithm>

#include "jet/util/bytes.h"
#include "jet/util/corrupt.h"
#include "jet/index/index_last.h"
#include "jet/format/usage_map.h"
#include "jet/table/table_writer.h"
#include "jet/table/value_encoder.h"

namespace jet {
namespace {

// A moved row's pointer is followed at most this many times.
constexpr int kMaxOverflowHops = 4;

} // namespace

TableImpl::TableImpl(Pager& pager, std::string name, TableDef def)
    : pager_(&pager), name_(std::move(name)), def_(std::make_shared<TableDef>(std::move(def))) {}

TableImpl::TableImpl(std::shared_ptr<WriteSession> session, std::string name, std::shared_ptr<TableDef> def)
    : pager_(&session->pager()), name_(std::move(name)), def_(std::move(def)), session_(std::move(session)) {}

const std::vector<Column>& TableImpl::columns() const {
    if (columns_.size() != def_->columns.size()) {
        columns_.clear();
        for (const ColumnDef& c : def_->columns)
            columns_.push_back({c.name, c.type, c.length, c.isAutonumber() || c.isGuidAutonumber()});
    }
    return columns_;
}

int TableImpl::columnIndex(std::string_view name) const {
    const ColumnDef* c = def_->column(name);
    return c ? static_cast<int>(c - def_->columns.data()) : -1;
}

Status TableImpl::dataPages(std::vector<std::uint32_t>* pages) const {
    if (session_) JET_TRY(session_->flush());
    return readUsageMap(*pager_, def_->ownedPages, pages);
}

Status TableImpl::dataPageCount(std::size_t* count) const {
    std::vector<std::uint32_t> pages;
    JET_TRY(dataPages(&pages));
    *count = pages.size();
    return Status::OK();
}

namespace {

// An ascending Long key field: flag 00 for Null, 7F and the value
// big-endian with its top bit flipped.
bool decodeLongKey(const Bytes& entry, Value* out) {
    if (entry.size() >= 1 + kRowPointerBytes && entry[0] == 0x00) {
        *out = Value{};
        return true;
    }
    if (entry.size() < 5 + kRowPointerBytes || entry[0] != 0x7F) return false;
    const auto bits = static_cast<std::uint32_t>(beValue(ByteSpan(entry).subspan(1, 4)));
    *out = std::int64_t{static_cast<std::int32_t>(bits ^ 0x80000000u)};
    return true;
}

} // namespace

Status TableImpl::highestIndexed(std::string_view column, bool* found, Value* highest) const {
    *found = false;
    const ColumnDef* c = def_->column(column);
    if (!c || c->type != ColumnType::Long) return Status::OK();
    if (session_) JET_TRY(session_->flush());
    for (const RealIndexDef& ix : def_->realIndexes) {
        if (ix.columns.empty() || ix.columns[0].column != c->number || !ix.columns[0].ascending) continue;
        Bytes last;
        Status s = lastLeafEntry([this](std::uint32_t pgno, PageRef* out) { return pager_->read(pgno, out); },
                                 ix.firstPage, def_->firstPage, &last);
        if (!s.ok()) continue;
        if (last.empty()) *highest = Value{};
        else if (!decodeLongKey(last, highest)) continue;
        *found = true;
        return Status::OK();
    }
    return Status::OK();
}

Status TableScan::start() {
    started_ = true;
    JET_TRY(table_->dataPages(&pages_));
    row_.resize(decode_ ? table_->def().columns.size() : 0);
    return Status::OK();
}

// Moves to the next page of the map that is a data page of this table;
// other pages listed by a stale map are passed over.
Status TableScan::nextPage(bool* hasPage) {
    Pager& pager = table_->pager();
    while (pageIndex_ < pages_.size()) {
        std::uint32_t pgno = pages_[pageIndex_++];
        PageRef ref;
        JET_TRY(pager.read(pgno, &ref));
        if (!isDataPageOf(*ref, table_->def().firstPage)) continue;
        JET_TRY(DataPage::open(std::move(ref), pgno, &page_));
        slot_ = 0;
        *hasPage = true;
        return Status::OK();
    }
    *hasPage = false;
    return Status::OK();
}

// Parses the row of `slot` (following a moved row to its place).
Status TableScan::load(const RowSlot& slot, bool* isRow) {
    *isRow = false;
    if (slot.deleted) return Status::OK();
    const TableDef& def = table_->def();
    const DataPage* page = &page_;
    RowSlot body = slot;
    for (int hop = 0; body.overflow; ++hop) {
        if (hop == kMaxOverflowHops)
            return corruptAt(id_.page, "presunutý riadok " + std::to_string(id_.row) + " tvorí slučku");
        ByteSpan ptr = page->body(body);
        if (ptr.size() < 4) return corruptAt(page->pageNumber(), "krátky odkaz na presunutý riadok");
        RowPointer to = RowPointer::decode(le32(ptr.data()));
        if (to.page >= table_->pager().pageCount())
            return corruptAt(page->pageNumber(), "presunutý riadok ukazuje mimo súboru");
        PageRef ref;
        JET_TRY(table_->pager().read(to.page, &ref));
        JET_TRY(DataPage::open(std::move(ref), to.page, &target_));
        if (target_.owner() != def.firstPage)
            return corruptAt(to.page, "presunutý riadok ukazuje na stranu inej tabuľky");
        JET_TRY(target_.anySlot(to.row, "presunutý riadok", &body));
        // The target slot is flagged deleted; only a live pointer goes on.
        if (body.deleted) body.overflow = false;
        page = &target_;
    }
    JET_TRY(view_.parse(def, page->body(body), id_));
    if (decode_) JET_TRY(view_.readAll(def, table_->pager(), &row_));
    *isRow = true;
    return Status::OK();
}

Status TableScan::read(std::size_t column, Value* out, std::vector<std::uint32_t>* lvalPages) const {
    return view_.read(table_->def().columns[column], table_->pager(), out, lvalPages);
}

// Names the table in a description of damage found while scanning it.
Status TableScan::inTable(Status s) const {
    static const std::string prefix = "Poškodená databáza: ";
    if (s.code() != Status::Code::Corrupt || s.message().rfind(prefix, 0) != 0) return s;
    return Status::error(s.code(),
                         "Poškodená databáza, tabuľka " + table_->name() + ": " + s.message().substr(prefix.size()));
}

Status TableScan::next(bool* hasRow) {
    Status s = advance(hasRow);
    if (!s.ok()) {
        *hasRow = false;
        s = inTable(std::move(s));
    }
    return s;
}

Status TableScan::advance(bool* hasRow) {
    if (!started_) JET_TRY(start());
    for (;;) {
        if (!onPage_) {
            JET_TRY(nextPage(&onPage_));
            if (!onPage_) {
                *hasRow = false;
                return Status::OK();
            }
        }
        if (slot_ >= page_.slotCount()) {
            onPage_ = false;
            continue;
        }
        id_ = RowId{page_.pageNumber(), static_cast<std::uint8_t>(slot_)};
        RowSlot slot;
        JET_TRY(page_.slot(slot_++, &slot));
        bool isRow;
        JET_TRY(load(slot, &isRow));
        if (isRow) {
            *hasRow = true;
            return Status::OK();
        }
    }
}

namespace {

Status writable(const WriteSession* session, const Pager& pager) {
    if (!session || !session->isOpen() || pager.mode() != Pager::Mode::Exclusive)
        return Status::error(Status::Code::InvalidArgument, "Databáza nie je otvorená na zápis.");
    return Status::OK();
}

} // namespace

// The table's writer checks the definition once, when it is made.
Status TableImpl::append(std::vector<Value>* row) {
    JET_TRY(writable(session_.get(), *pager_));
    return session_->append(def_, row, nullptr, nullptr);
}

Status TableImpl::append(std::vector<Value>* row, const std::vector<bool>& emptiable,
                         std::vector<std::size_t>* emptied) {
    JET_TRY(writable(session_.get(), *pager_));
    return session_->append(def_, row, &emptiable, emptied);
}

void TableImpl::expect(std::size_t rows) {
    if (writable(session_.get(), *pager_).ok()) session_->expect(def_, rows);
}

Status TableImpl::canAppend() const {
    JET_TRY(writable(session_.get(), *pager_));
    return checkAppendable(*def_);
}

// The public cursor hands every call to the scan behind it.
Table::Cursor::Cursor(const Table& table, bool decode) : scan_(std::make_unique<TableScan>(impl(table), decode)) {}
Table::Cursor::~Cursor() = default;
Status Table::Cursor::next(bool* hasRow) { return scan_->next(hasRow); }
const std::vector<Value>& Table::Cursor::row() const { return scan_->row(); }
std::vector<Value>& Table::Cursor::row() { return scan_->row(); }
Status Table::Cursor::read(std::size_t column, Value* out) const { return scan_->read(column, out); }

} // namespace jet
