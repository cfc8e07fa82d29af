#include "jet/table/row.h"

#include <algorithm>
#include <cassert>

#include "jet/util/corrupt.h"
#include "jet/table/longvalue.h"
#include "jet/text.h"

namespace jet {
namespace {

template <class T> T& emplaceKeep(Value* v) {
    if (!std::holds_alternative<T>(*v)) v->emplace<T>();
    return std::get<T>(*v);
}

Numeric decodeNumeric(const ColumnDef& c, const std::uint8_t* p) {
    Numeric n;
    n.precision = c.precision;
    n.scale = c.scale;
    n.negative = p[0] & 0x80;
    // Four 32-bit little-endian words, the most significant first.
    for (int w = 0; w < 4; ++w)
        for (int b = 0; b < 4; ++b) n.magnitude[4 * (3 - w) + b] = p[1 + 4 * w + b];
    return n;
}

bool hasVariableColumnBelow(const TableDef& def, std::uint16_t columnCount) {
    for (const ColumnDef& c : def.columns)
        if (!c.isFixed() && c.type != ColumnType::Bool && c.number < columnCount) return true;
    return false;
}

} // namespace

bool decodeScalar(const ColumnDef& c, ByteSpan b, Value* out) {
    std::size_t need = fixedSize(c.type);
    if (b.size() < need) return false;
    const std::uint8_t* p = b.data();
    switch (c.type) {
    case ColumnType::Byte: *out = std::int64_t{p[0]}; break;
    case ColumnType::Int: *out = std::int64_t{static_cast<std::int16_t>(le16(p))}; break;
    case ColumnType::Long:
    case ColumnType::Complex: *out = std::int64_t{static_cast<std::int32_t>(le32(p))}; break;
    case ColumnType::BigInt: *out = static_cast<std::int64_t>(le64(p)); break;
    case ColumnType::Currency: *out = Currency{static_cast<std::int64_t>(le64(p))}; break;
    case ColumnType::Single: *out = leFloat(p); break;
    case ColumnType::Double: *out = leDouble(p); break;
    case ColumnType::DateTime: *out = DateTime{leDouble(p)}; break;
    case ColumnType::Guid: {
        Guid g;
        std::copy(p, p + 16, g.bytes.begin());
        *out = g;
        break;
    }
    case ColumnType::Numeric: *out = decodeNumeric(c, p); break;
    case ColumnType::Text:
    case ColumnType::Memo: decodeText(b, &emplaceKeep<std::u16string>(out)); break;
    default: emplaceKeep<Bytes>(out).assign(b.begin(), b.end()); break;
    }
    return true;
}

Status RowView::corrupt(const std::string& what) const {
    return corruptAt(id_.page, "riadok " + std::to_string(id_.row) + ": " + what);
}

Status RowView::parse(const TableDef& def, ByteSpan bytes, RowId id) {
    bytes_ = bytes;
    id_ = id;
    if (bytes.size() < 2) return corrupt("príliš krátky riadok");
    columnCount_ = le16(&bytes[0]);
    std::size_t maskSize = (columnCount_ + 7) / 8;
    if (bytes.size() < 2 + maskSize) return corrupt("nulová maska presahuje riadok");
    maskAt_ = bytes.size() - maskSize;
    varCount_ = 0;
    fixedEnd_ = maskAt_;
    // A row written before the table had variable columns has no offset
    // table; whatever its variable columns, they all read as Null here.
    if (!hasVariableColumnBelow(def, columnCount_)) return Status::OK();
    if (maskAt_ < 4) return corrupt("chýba tabuľka premenlivých stĺpcov");
    varCount_ = le16(&bytes[maskAt_ - 2]);
    std::size_t tableSize = 2 * (std::size_t{varCount_} + 1);
    if (maskAt_ < 4 + tableSize) return corrupt("tabuľka premenlivých stĺpcov presahuje riadok");
    varTableAt_ = maskAt_ - 4 - 2 * std::size_t{varCount_};
    fixedEnd_ = varTableAt_;
    // Offsets run from the end-of-data entry up to slot 0; each must lie
    // between the fixed area and the offset table and never decrease.
    std::size_t prev = le16(&bytes[varTableAt_]);
    if (prev > varTableAt_) return corrupt("koniec premenlivých dát mimo riadku");
    for (std::size_t at = varTableAt_ + 2; at < maskAt_ - 2; at += 2) {
        std::size_t start = le16(&bytes[at]);
        if (start < 2 || start > prev) return corrupt("neplatný ofset premenlivého stĺpca");
        prev = start;
    }
    return Status::OK();
}

bool RowView::present(std::uint16_t number) const {
    if (number >= columnCount_) return false;
    return bytes_[maskAt_ + number / 8] >> (number % 8) & 1;
}

bool RowView::fixedBytes(const ColumnDef& c, std::size_t size, ByteSpan* out) const {
    std::size_t at = 2 + std::size_t{c.fixedOffset};
    if (at + size > fixedEnd_) return false;
    *out = bytes_.subspan(at, size);
    return true;
}

bool RowView::varBytes(const ColumnDef& c, ByteSpan* out) const {
    if (c.varSlot >= varCount_) return false;
    std::size_t start = le16(&bytes_[maskAt_ - 4 - 2 * std::size_t{c.varSlot}]);
    std::size_t end = le16(&bytes_[maskAt_ - 4 - 2 * (std::size_t{c.varSlot} + 1)]);
    *out = bytes_.subspan(start, end - start);
    return true;
}

inline bool RowView::bytesOf(const ColumnDef& c, ByteSpan* out, bool* there) const {
    *there = present(c.number);
    if (!*there) return true;
    if (c.isFixed()) {
        std::size_t size = fixedSize(c.type);
        return fixedBytes(c, size ? size : c.length, out);
    }
    *there = varBytes(c, out);
    return true;
}

inline bool RowView::scalar(const ColumnDef& c, Value* out) const {
    if (c.type == ColumnType::Bool) {
        *out = present(c.number);
        return true;
    }
    ByteSpan b;
    bool there = false;
    if (!bytesOf(c, &b, &there)) return false;
    if (!there) {
        *out = std::monostate{};
        return true;
    }
    return decodeScalar(c, b, out);
}

Status RowView::read(const ColumnDef& c, Pager& pager, Value* out, std::vector<std::uint32_t>* lvalPages) const {
    ByteSpan b;
    bool there = false;
    if (!c.isLongValue()) {
        if (scalar(c, out)) return Status::OK();
        if (!bytesOf(c, &b, &there)) return corrupt("pevný stĺpec " + c.name + " presahuje riadok");
        return corrupt("stĺpec " + c.name + " je kratší ako jeho typ");
    }
    if (!bytesOf(c, &b, &there)) return corrupt("pevný stĺpec " + c.name + " presahuje riadok");
    if (!there) {
        *out = std::monostate{};
        return Status::OK();
    }
    JET_TRY(readLongValue(pager, b, id_.page, &longValue_, lvalPages));
    // An OLE value trades buffers with the scratch; a memo is decoded from it.
    if (c.type == ColumnType::Ole) emplaceKeep<Bytes>(out).swap(longValue_);
    else decodeText(longValue_, &emplaceKeep<std::u16string>(out));
    return Status::OK();
}

// Scalars are decoded in this loop; memo and OLE values, and the damage a
// scalar finds, go through read().
Status RowView::readAll(const TableDef& def, Pager& pager, std::vector<Value>* row) const {
    assert(row->size() == def.columns.size());
    for (std::size_t i = 0; i < def.columns.size(); ++i) {
        const ColumnDef& c = def.columns[i];
        if (c.isLongValue() || !scalar(c, &(*row)[i])) JET_TRY(read(c, pager, &(*row)[i]));
    }
    return Status::OK();
}

} // namespace jet
