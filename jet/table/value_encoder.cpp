#include "jet/table/value_encoder.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#include "jet/util/bytes.h"

namespace jet {
namespace {

constexpr std::size_t kMaxMemoCompressed = 1024; // characters
constexpr std::size_t kMinCompressed = 3;        // shorter text gains nothing
constexpr char16_t kByteOrderMark = 0xFEFF;

Status refuse(const ColumnDef& c, const std::string& why) {
    return Status::error(Status::Code::Refused, "Stĺpec " + c.name + ": " + why + ".");
}

Status wrongKind(const ColumnDef& c) { return refuse(c, "hodnota nezodpovedá typu stĺpca"); }

Status outOfRange(const ColumnDef& c) { return refuse(c, "hodnota je mimo rozsahu stĺpca"); }

Status notWhole(const ColumnDef& c) { return refuse(c, "stĺpec berie len celé čísla"); }

template <class T> const T* as(const Value& v) { return std::get_if<T>(&v); }

// A double from any number.
bool asDouble(const Value& v, double* out) {
    if (const auto* d = as<double>(v)) *out = *d;
    else if (const auto* f = as<float>(v)) *out = *f;
    else if (const auto* i = as<std::int64_t>(v)) *out = static_cast<double>(*i);
    else if (const auto* m = as<Currency>(v)) *out = static_cast<double>(m->scaled) / 10000;
    else return false;
    return true;
}

// An integer column takes any number that is whole and in its range; a
// fraction is refused rather than rounded.
Status integer(const ColumnDef& c, Value* v, std::int64_t lo, std::int64_t hi) {
    std::int64_t whole = 0;
    double d = 0;
    if (const auto* i = as<std::int64_t>(*v)) {
        whole = *i;
    } else if (const auto* m = as<Currency>(*v)) {
        if (m->scaled % 10000 != 0) return notWhole(c);
        whole = m->scaled / 10000;
    } else if (asDouble(*v, &d)) {
        // Both limits are exact doubles, so the cast below is defined.
        if (!(d >= static_cast<double>(lo) && d <= static_cast<double>(hi))) return outOfRange(c);
        if (std::trunc(d) != d) return notWhole(c);
        whole = static_cast<std::int64_t>(d);
    } else {
        return wrongKind(c);
    }
    if (whole < lo || whole > hi) return outOfRange(c);
    *v = whole;
    return Status::OK();
}

Status text(const ColumnDef& c, const Value& v, std::size_t maxChars) {
    const auto* s = as<std::u16string>(v);
    if (!s) return wrongKind(c);
    if (s->size() > maxChars) return refuse(c, "text je dlhší ako " + std::to_string(maxChars) + " znakov");
    // Starting with FF FE, a plain text would read as the compressed form;
    // the marked form stores it only when no character has a zero low byte.
    if (!s->empty() && (*s)[0] == kByteOrderMark)
        for (char16_t ch : *s)
            if ((ch & 0xFF) == 0) return refuse(c, "text začínajúci znakom U+FEFF sa nedá uložiť");
    return Status::OK();
}

bool compressible(std::u16string_view text) {
    if (text.size() < kMinCompressed) return false;
    for (char16_t ch : text)
        if (ch == 0 || ch > 0xFF) return false;
    return true;
}

} // namespace

bool encodable(ColumnType type) {
    switch (type) {
    case ColumnType::Bool:
    case ColumnType::Byte:
    case ColumnType::Int:
    case ColumnType::Long:
    case ColumnType::Currency:
    case ColumnType::Single:
    case ColumnType::Double:
    case ColumnType::DateTime:
    case ColumnType::Binary:
    case ColumnType::Text:
    case ColumnType::Ole:
    case ColumnType::Memo:
    case ColumnType::Guid:
    case ColumnType::Numeric: return true;
    default: return false;
    }
}

Status normalizeValue(const ColumnDef& c, Value* v) {
    if (isNull(*v)) return Status::OK();
    switch (c.type) {
    case ColumnType::Bool:
        if (!as<bool>(*v)) return wrongKind(c);
        return Status::OK();
    case ColumnType::Byte: return integer(c, v, 0, 255);
    case ColumnType::Int: return integer(c, v, INT16_MIN, INT16_MAX);
    case ColumnType::Long: return integer(c, v, INT32_MIN, INT32_MAX);
    case ColumnType::Currency:
        if (const auto* i = as<std::int64_t>(*v)) {
            constexpr std::int64_t kLimit = std::numeric_limits<std::int64_t>::max() / 10000;
            if (*i > kLimit || *i < -kLimit) return outOfRange(c);
            *v = Currency{*i * 10000};
        }
        return as<Currency>(*v) ? Status::OK() : wrongKind(c);
    case ColumnType::Single: {
        if (as<float>(*v)) return Status::OK();
        double d = 0;
        if (!asDouble(*v, &d)) return wrongKind(c);
        if (std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max()) return outOfRange(c);
        *v = static_cast<float>(d);
        return Status::OK();
    }
    case ColumnType::Double: {
        double d = 0;
        if (!asDouble(*v, &d)) return wrongKind(c);
        *v = d;
        return Status::OK();
    }
    case ColumnType::DateTime:
        if (const auto* d = as<double>(*v)) *v = DateTime{*d};
        return as<DateTime>(*v) ? Status::OK() : wrongKind(c);
    case ColumnType::Text: return text(c, *v, c.length / 2);
    case ColumnType::Memo: return text(c, *v, 0x3FFFFFFF / 2);
    case ColumnType::Binary: {
        const auto* b = as<Bytes>(*v);
        if (!b) return wrongKind(c);
        if (b->size() > c.length) return refuse(c, "hodnota je dlhšia ako " + std::to_string(c.length) + " bajtov");
        return Status::OK();
    }
    case ColumnType::Ole: {
        const auto* b = as<Bytes>(*v);
        if (!b) return wrongKind(c);
        if (b->size() > 0x3FFFFFFF) return refuse(c, "hodnota je príliš dlhá");
        return Status::OK();
    }
    case ColumnType::Guid: return as<Guid>(*v) ? Status::OK() : wrongKind(c);
    case ColumnType::Numeric: {
        auto* n = std::get_if<Numeric>(v);
        if (!n) return wrongKind(c);
        if (n->scale != c.scale) return refuse(c, "číslo má iný počet desatinných miest ako stĺpec");
        n->precision = c.precision;
        return Status::OK();
    }
    default: return refuse(c, "do stĺpca tohto typu nevieme zapisovať");
    }
}

void encodeText(std::u16string_view text, bool compress, Bytes* out) {
    const std::size_t at = out->size();
    if (compress && compressible(text)) {
        out->resize(at + 2 + text.size());
        std::uint8_t* p = out->data() + at;
        p[0] = 0xFF;
        p[1] = 0xFE;
        std::copy(text.begin(), text.end(), p + 2); // the low byte of each character
        return;
    }
    if (!text.empty() && text[0] == kByteOrderMark) {
        // Marker, switch to two bytes per character, then the text.
        out->insert(out->end(), {0xFF, 0xFE, 0x00});
    }
    if constexpr (std::endian::native == std::endian::little) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
        out->insert(out->end(), bytes, bytes + 2 * text.size());
    } else {
        for (char16_t ch : text) appendLe(out, ch, 2);
    }
}

void encodeFixed(const ColumnDef& c, const Value& v, std::uint8_t* at) {
    switch (c.type) {
    case ColumnType::Byte: putLe(at, static_cast<std::uint64_t>(std::get<std::int64_t>(v)), 1); break;
    case ColumnType::Int: putLe(at, static_cast<std::uint64_t>(std::get<std::int64_t>(v)), 2); break;
    case ColumnType::Long: putLe(at, static_cast<std::uint64_t>(std::get<std::int64_t>(v)), 4); break;
    case ColumnType::Currency: putLe(at, static_cast<std::uint64_t>(std::get<Currency>(v).scaled), 8); break;
    case ColumnType::Single: putLe(at, std::bit_cast<std::uint32_t>(std::get<float>(v)), 4); break;
    case ColumnType::Double: putLe(at, std::bit_cast<std::uint64_t>(std::get<double>(v)), 8); break;
    case ColumnType::DateTime: putLe(at, std::bit_cast<std::uint64_t>(std::get<DateTime>(v).days), 8); break;
    case ColumnType::Guid: {
        const auto& g = std::get<Guid>(v).bytes;
        std::copy(g.begin(), g.end(), at);
        break;
    }
    case ColumnType::Numeric: {
        const Numeric& n = std::get<Numeric>(v);
        at[0] = n.negative ? 0x80 : 0x00;
        // Four 32-bit little-endian words, the most significant first.
        for (int w = 3; w >= 0; --w) std::copy_n(n.magnitude.begin() + 4 * w, 4, at + 1 + 4 * (3 - w));
        break;
    }
    default: break;
    }
}

void encodeValue(const ColumnDef& c, const Value& v, Bytes* out) {
    switch (c.type) {
    case ColumnType::Text: encodeText(std::get<std::u16string>(v), c.isCompressedUnicode(), out); break;
    case ColumnType::Memo: {
        const auto& s = std::get<std::u16string>(v);
        encodeText(s, c.isCompressedUnicode() && s.size() <= kMaxMemoCompressed, out);
        break;
    }
    case ColumnType::Binary:
    case ColumnType::Ole: {
        const auto& b = std::get<Bytes>(v);
        out->insert(out->end(), b.begin(), b.end());
        break;
    }
    default: {
        const std::size_t at = out->size();
        out->resize(at + fixedSize(c.type));
        encodeFixed(c, v, out->data() + at);
        break;
    }
    }
}

} // namespace jet
