#include "jet/index/keys.h"

#include <algorithm>
#include <array>
#include <bit>

#include "jet/util/bytes.h"
#include "jet/index/textkey.h"

namespace jet {
namespace {

constexpr std::uint8_t kAscNull = 0x00, kAscValue = 0x7F;
constexpr std::uint8_t kDescNull = 0xFF, kDescValue = 0x80;
constexpr std::size_t kSegment = 8;
constexpr std::uint8_t kMoreSegments = 0x09;

Status mismatch() { return Status::error(Status::Code::InvalidArgument, "Hodnota nezodpovedá typu stĺpca indexu"); }

void invert(Bytes& b, std::size_t from) {
    for (std::size_t i = from; i < b.size(); ++i) b[i] = static_cast<std::uint8_t>(~b[i]);
}

// A value's key bytes in ascending form, for the types whose descending form
// is their plain inversion: the low `bytes` bytes of `bits`, big-endian.
struct Ordered {
    std::uint64_t bits = 0;
    int bytes = 0;
};

// Two's complement with the sign bit flipped: byte order equals numeric
// order.
Ordered signedOrder(std::int64_t v, int bytes) {
    return {static_cast<std::uint64_t>(v) ^ std::uint64_t{1} << (8 * bytes - 1), bytes};
}

// IEEE bits, positive numbers with the sign flipped, negative ones inverted:
// byte order equals numeric order.
Ordered floatOrder(std::uint64_t bits, int bytes) {
    const std::uint64_t sign = std::uint64_t{1} << (8 * bytes - 1);
    return {bits & sign ? ~bits : bits ^ sign, bytes};
}

// Groups of 8 bytes, each followed by 09 when more follow; the last one
// zero-padded and followed by its real length. Descending inverts the data
// and the final length, not the 09 markers.
void appendSegments(std::span<const std::uint8_t> data, bool ascending, Bytes* out) {
    for (std::size_t pos = 0; pos < data.size(); pos += kSegment) {
        const std::size_t n = std::min(kSegment, data.size() - pos);
        const bool last = pos + n == data.size();
        const std::size_t start = out->size();
        out->insert(out->end(), data.begin() + pos, data.begin() + pos + n);
        out->resize(start + kSegment, 0);
        out->push_back(last ? static_cast<std::uint8_t>(n) : kMoreSegments);
        if (!ascending) {
            for (std::size_t i = start; i < start + kSegment; ++i) (*out)[i] = static_cast<std::uint8_t>(~(*out)[i]);
            if (last) out->back() = static_cast<std::uint8_t>(~out->back());
        }
    }
}

// A GUID as it reads in braces: the first three groups are stored
// little-endian in the row.
std::array<std::uint8_t, 16> guidDisplayOrder(const Guid& g) {
    std::array<std::uint8_t, 16> b = g.bytes;
    std::reverse(b.begin(), b.begin() + 4);
    std::reverse(b.begin() + 4, b.begin() + 6);
    std::reverse(b.begin() + 6, b.begin() + 8);
    return b;
}

// Negative numbers first; then the first byte marks the sign.
void appendNumeric(const Numeric& n, bool ascending, Bytes* out) {
    const std::size_t at = out->size();
    out->push_back(0);
    out->insert(out->end(), n.magnitude.rbegin(), n.magnitude.rend());
    if (n.negative == ascending) invert(*out, at);
    (*out)[at] = n.negative ? 0x00 : 0xFF;
}

template <typename T> const T* as(const Value& v) { return std::get_if<T>(&v); }

Status integerOrder(const Value& v, std::int64_t lo, std::int64_t hi, int bytes, Ordered* out) {
    const auto* i = as<std::int64_t>(v);
    if (!i || *i < lo || *i > hi) return mismatch();
    *out = lo == 0 ? Ordered{static_cast<std::uint64_t>(*i), 1} // a Byte is unsigned
                   : signedOrder(*i, bytes);
    return Status::OK();
}

Status orderOf(ColumnType type, const Value& v, Ordered* out) {
    switch (type) {
    case ColumnType::Byte: return integerOrder(v, 0, 255, 1, out);
    case ColumnType::Int: return integerOrder(v, INT16_MIN, INT16_MAX, 2, out);
    case ColumnType::Long: return integerOrder(v, INT32_MIN, INT32_MAX, 4, out);
    case ColumnType::Currency:
        if (const auto* c = as<Currency>(v)) {
            *out = signedOrder(c->scaled, 8);
            return Status::OK();
        }
        return mismatch();
    case ColumnType::Single:
        if (const auto* f = as<float>(v)) {
            *out = floatOrder(std::bit_cast<std::uint32_t>(*f), 4);
            return Status::OK();
        }
        return mismatch();
    case ColumnType::Double:
        if (const auto* d = as<double>(v)) {
            *out = floatOrder(std::bit_cast<std::uint64_t>(*d), 8);
            return Status::OK();
        }
        return mismatch();
    case ColumnType::DateTime:
        if (const auto* d = as<DateTime>(v)) {
            *out = floatOrder(std::bit_cast<std::uint64_t>(d->days), 8);
            return Status::OK();
        }
        return mismatch();
    default: return Status::error(Status::Code::Unsupported, "Kľúč indexu pre tento typ stĺpca nevieme vytvoriť");
    }
}

// Appends the value bytes of a non-null value.
Status appendValue(const KeyColumn& c, const Value& v, Bytes* out) {
    switch (c.type) {
    case ColumnType::Bool: {
        const auto* b = as<bool>(v);
        if (!b) return mismatch();
        out->push_back(*b == c.ascending ? 0x00 : 0xFF);
        return Status::OK();
    }
    case ColumnType::Text:
    case ColumnType::Memo: {
        const auto* s = as<std::u16string>(v);
        if (!s) return mismatch();
        if (!isGeneralSortOrder(c.sortOrder, c.sortVersion))
            return Status::error(Status::Code::Unsupported,
                                 "Kľúč indexu v tomto poradí triedenia textu nevieme vytvoriť");
        return appendGeneralTextKey(*s, c.ascending, out);
    }
    case ColumnType::Binary: {
        const auto* b = as<Bytes>(v);
        if (!b) return mismatch();
        appendSegments(*b, c.ascending, out);
        return Status::OK();
    }
    case ColumnType::Guid: {
        const auto* g = as<Guid>(v);
        if (!g) return mismatch();
        appendSegments(guidDisplayOrder(*g), c.ascending, out);
        return Status::OK();
    }
    case ColumnType::Numeric: {
        const auto* n = as<Numeric>(v);
        if (!n) return mismatch();
        appendNumeric(*n, c.ascending, out);
        return Status::OK();
    }
    default: {
        Ordered o;
        JET_TRY(orderOf(c.type, v, &o));
        appendBe(out, c.ascending ? o.bits : ~o.bits, o.bytes);
        return Status::OK();
    }
    }
}

// A value the row does not reach counts as Null.
bool keyValueNull(const KeyColumn& c, std::span<const Value> row) {
    return c.type != ColumnType::Bool && (c.position >= row.size() || isNull(row[c.position]));
}

} // namespace

Status keyColumnsOf(const TableDef& table, const RealIndexDef& index, std::vector<KeyColumn>* out) {
    out->clear();
    for (const IndexColumn& ic : index.columns) {
        const ColumnDef* col = table.columnByNumber(ic.column);
        if (!col)
            return Status::error(Status::Code::Corrupt, "Index " + std::to_string(index.number) +
                                                            " odkazuje na neexistujúci stĺpec " +
                                                            std::to_string(ic.column));
        const auto position = static_cast<std::size_t>(col - table.columns.data());
        out->push_back({col->type, ic.ascending, col->sortOrder, col->sortVersion, position});
    }
    return Status::OK();
}

Status appendKeyField(const KeyColumn& column, const Value& value, Bytes* out) {
    static const Value kFalse(false);
    const Value& v = column.type == ColumnType::Bool && isNull(value) ? kFalse : value;
    if (isNull(v)) {
        out->push_back(column.ascending ? kAscNull : kDescNull);
        return Status::OK();
    }
    const std::size_t start = out->size();
    out->push_back(column.ascending ? kAscValue : kDescValue);
    Status s = appendValue(column, v, out);
    if (!s.ok()) out->resize(start);
    return s;
}

Status encodeKey(std::span<const KeyColumn> columns, std::span<const Value> row, Bytes* out) {
    out->clear();
    for (const KeyColumn& c : columns) {
        if (c.position >= row.size()) return mismatch();
        JET_TRY(appendKeyField(c, row[c.position], out));
    }
    return Status::OK();
}

bool allKeyValuesNull(std::span<const KeyColumn> columns, std::span<const Value> row) {
    return std::all_of(columns.begin(), columns.end(), [&](const KeyColumn& c) { return keyValueNull(c, row); });
}

bool anyKeyValueNull(std::span<const KeyColumn> columns, std::span<const Value> row) {
    return std::any_of(columns.begin(), columns.end(), [&](const KeyColumn& c) { return keyValueNull(c, row); });
}

} // namespace jet
