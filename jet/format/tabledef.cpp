#include "jet/format/tabledef.h"

#include "jet/format/tabledef_format.h"
#include "jet/util/bytes.h"
#include "jet/util/corrupt.h"
#include "jet/text.h"

namespace jet {

using namespace tdef;

namespace {

// Far above any real definition (255 columns, 32 indexes), so that a
// damaged length cannot make us read a long chain.
constexpr std::uint32_t kMaxDefinitionLength = 1u << 20;

class Reader {
public:
    Reader(ByteSpan bytes, std::uint32_t page) : bytes_(bytes), page_(page) {}

    // Claims `count` records of `size` bytes; the position moves past them.
    Status take(std::size_t count, std::size_t size, const char* what, const std::uint8_t** at) {
        if (count > bytes_.size() / size || !fits(bytes_, pos_, count * size))
            return corruptAt(page_, std::string("definícia tabuľky končí uprostred ") + what);
        *at = bytes_.data() + pos_;
        pos_ += count * size;
        return Status::OK();
    }
    Status name(std::string* out) {
        const std::uint8_t* len;
        JET_TRY(take(1, kNameLengthSize, "mena", &len));
        const std::uint8_t* text;
        JET_TRY(take(le16(len), 1, "mena", &text));
        *out = toUtf8(decodeUcs2(ByteSpan(text, le16(len))));
        return Status::OK();
    }
    std::size_t pos() const { return pos_; }
    void seek(std::size_t pos) { pos_ = pos; }

private:
    ByteSpan bytes_;
    std::uint32_t page_;
    std::size_t pos_ = 0;
};

void parseColumn(const std::uint8_t* d, ColumnDef* c) {
    c->type = static_cast<ColumnType>(d[kColumnType]);
    c->number = le16(d + kColumnNumber);
    c->varSlot = le16(d + kColumnVarSlot);
    if (c->type == ColumnType::Numeric) {
        c->precision = d[kColumnPrecision];
        c->scale = d[kColumnScale];
    } else {
        c->sortOrder = le16(d + kColumnSortOrder);
        c->sortVersion = d[kColumnSortVersion];
    }
    c->flags = d[kColumnFlags];
    c->extFlags = d[kColumnExtFlags];
    c->fixedOffset = le16(d + kColumnFixedOffset);
    c->length = le16(d + kColumnLength);
}

void parseRealIndex(const std::uint8_t* d, RealIndexDef* r) {
    for (std::size_t i = 0; i < kMaxIndexColumns; ++i) {
        const std::uint8_t* ic = d + kRealIndexColumns + kIndexColumnSize * i;
        std::uint16_t col = le16(ic + kIndexColumnNumber);
        if (col == kNoColumn) continue;
        r->columns.push_back({col, ic[kIndexColumnOrder] != 0});
    }
    r->usageMap = RowPointer::decode(le32(d + kRealIndexUsageMap));
    r->firstPage = le32(d + kRealIndexFirstPage);
    r->flags = d[kRealIndexFlags];
}

void parseLogicalIndex(const std::uint8_t* d, LogicalIndexDef* l) {
    l->number = le32(d + kLogicalNumber);
    l->realIndex = le32(d + kLogicalRealIndex);
    l->foreignKeySide = d[kLogicalForeignKeySide];
    l->otherIndex = static_cast<std::int32_t>(le32(d + kLogicalOtherIndex));
    l->otherTable = le32(d + kLogicalOtherTable);
    l->cascadeUpdates = d[kLogicalCascadeUpdates];
    l->cascadeDeletes = d[kLogicalCascadeDeletes];
    l->kind = static_cast<LogicalIndexDef::Kind>(d[kLogicalKind]);
}

Status checkConsistency(const TableDef& t) {
    for (const ColumnDef& c : t.columns) {
        if (c.number >= t.maxColumns)
            return corruptAt(t.firstPage, "číslo stĺpca " + c.name + " presahuje počet stĺpcov tabuľky");
        if (!c.isFixed() && c.type != ColumnType::Bool && c.varSlot >= t.varColumns)
            return corruptAt(t.firstPage, "premenlivý stĺpec " + c.name + " mimo tabuľky ofsetov");
    }
    for (const RealIndexDef& r : t.realIndexes)
        for (const IndexColumn& ic : r.columns)
            if (!t.columnByNumber(ic.column))
                return corruptAt(t.firstPage, "index odkazuje na neexistujúci stĺpec " + std::to_string(ic.column));
    for (const LogicalIndexDef& l : t.logicalIndexes)
        if (l.realIndex >= t.realIndexes.size())
            return corruptAt(t.firstPage, "logický index " + l.name + " odkazuje na neexistujúci index");
    return Status::OK();
}

// Parses `count` descriptors of `size` bytes into `items`, noting where each
// stands in the definition. The list is sized only once the definition is
// known to hold them all: a stored count cannot make it allocate more.
template <class Item>
Status parseDescriptors(Reader& r, std::size_t count, std::size_t size, const char* what,
                        void (*parse)(const std::uint8_t*, Item*), std::vector<Item>* items) {
    const std::size_t first = r.pos();
    const std::uint8_t* at;
    JET_TRY(r.take(count, size, what, &at));
    items->resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        parse(at + size * i, &(*items)[i]);
        (*items)[i].descriptorOffset = static_cast<std::uint32_t>(first + size * i);
    }
    return Status::OK();
}

} // namespace

const ColumnDef* TableDef::column(std::string_view name) const {
    std::u16string wanted = fromUtf8(name);
    for (const ColumnDef& c : columns)
        if (equalsIgnoreCase(fromUtf8(c.name), wanted)) return &c;
    return nullptr;
}

const ColumnDef* TableDef::columnByNumber(std::uint16_t number) const {
    for (const ColumnDef& c : columns)
        if (c.number == number) return &c;
    return nullptr;
}

const LongValueMaps* TableDef::longValueMapsOf(std::uint16_t column) const {
    for (const LongValueMaps& m : longValueMaps)
        if (m.column == column) return &m;
    return nullptr;
}

std::string TableDef::indexName(const RealIndexDef& index) const {
    std::string name;
    for (const LogicalIndexDef& l : logicalIndexes)
        if (l.realIndex == index.number) name += (name.empty() ? "" : "/") + l.name;
    return name.empty() ? "#" + std::to_string(index.number) : name;
}

bool TableDef::isPrimaryKey(const RealIndexDef& index) const {
    for (const LogicalIndexDef& l : logicalIndexes)
        if (l.realIndex == index.number && l.isPrimaryKey()) return true;
    return false;
}

Status parseTableDef(ByteSpan def, std::uint32_t firstPage, TableDef* out) {
    TableDef t;
    t.firstPage = firstPage;
    if (def.size() < kIndexStats || def[kPageTypeAt] != kTableDefPageType)
        return corruptAt(firstPage, "strana nie je definíciou tabuľky");
    t.length = le32(&def[kLength]);
    if (t.length < kIndexStats || t.length > def.size())
        return corruptAt(firstPage, "neplatná dĺžka definície tabuľky");
    ByteSpan body = def.first(t.length);
    t.rowCount = le32(&def[kRowCount]);
    t.autonumber = le32(&def[kAutonumber]);
    t.tableType = def[kTableType];
    t.maxColumns = le16(&def[kMaxColumns]);
    t.varColumns = le16(&def[kVarColumns]);
    std::uint16_t columnCount = le16(&def[kColumnCount]);
    std::uint32_t logicalCount = le32(&def[kLogicalIndexCount]);
    std::uint32_t realCount = le32(&def[kRealIndexCount]);
    t.ownedPages = RowPointer::decode(le32(&def[kOwnedPages]));
    t.freePages = RowPointer::decode(le32(&def[kFreePages]));

    Reader r(body, firstPage);
    r.seek(kIndexStats);
    const std::uint8_t* at;
    JET_TRY(r.take(realCount, kIndexStatsSize, "štatistík indexov", &at));
    t.realIndexes.resize(realCount);
    for (std::uint32_t i = 0; i < realCount; ++i) {
        RealIndexDef& ri = t.realIndexes[i];
        const std::uint8_t* stats = at + kIndexStatsSize * i;
        ri.number = i;
        ri.statRows = le32(stats + kStatRows);
        ri.statDistinct = le32(stats + kStatDistinct);
        ri.statReserved = le32(stats + kStatReserved);
    }
    JET_TRY(parseDescriptors(r, columnCount, kColumnSize, "stĺpcov", parseColumn, &t.columns));
    for (ColumnDef& c : t.columns) JET_TRY(r.name(&c.name));
    JET_TRY(parseDescriptors(r, realCount, kRealIndexSize, "indexov", parseRealIndex, &t.realIndexes));
    JET_TRY(parseDescriptors(r, logicalCount, kLogicalIndexSize, "logických indexov", parseLogicalIndex,
                             &t.logicalIndexes));
    for (LogicalIndexDef& l : t.logicalIndexes) JET_TRY(r.name(&l.name));
    for (;;) {
        JET_TRY(r.take(1, kLongValueColumnSize, "máp dlhých hodnôt", &at));
        std::uint16_t column = le16(at);
        if (column == kNoColumn) break;
        JET_TRY(r.take(1, kLongValueMapPointers, "máp dlhých hodnôt", &at));
        t.longValueMaps.push_back({column, RowPointer::decode(le32(at + kLongValueOwnedPages)),
                                   RowPointer::decode(le32(at + kLongValueFreePages))});
    }
    if (r.pos() != t.length) return corruptAt(firstPage, "definícia tabuľky nekončí na uloženej dĺžke");
    JET_TRY(checkConsistency(t));
    *out = std::move(t);
    return Status::OK();
}

Status readTableDef(Pager& pager, std::uint32_t page, TableDef* out) {
    std::vector<std::uint8_t> def;
    std::vector<std::uint32_t> chain;
    std::uint32_t length = 0;
    std::uint32_t next = page;
    do {
        if (next >= pager.pageCount() || next < 2)
            return corruptAt(chain.empty() ? page : chain.back(), "reťaz definície tabuľky ukazuje mimo súboru");
        PageRef p;
        JET_TRY(pager.read(next, &p));
        if (p->bytes[kPageTypeAt] != kTableDefPageType || p->bytes[kPageMarkerAt] != kPageMarker)
            return corruptAt(next, "strana nie je definíciou tabuľky");
        if (chain.empty()) {
            length = le32(&p->bytes[kLength]);
            if (length > kMaxDefinitionLength) return corruptAt(page, "neplatná dĺžka definície tabuľky");
            def.assign(p->bytes.begin(), p->bytes.end());
        } else {
            def.insert(def.end(), p->bytes.begin() + kContinuationData, p->bytes.end());
        }
        chain.push_back(next);
        next = le32(&p->bytes[kNextPage]);
    } while (next != 0 && def.size() < length);
    // The chain is long enough for the stored length, so it cannot loop.
    JET_TRY(parseTableDef(def, page, out));
    out->pages = std::move(chain);
    return Status::OK();
}

} // namespace jet
