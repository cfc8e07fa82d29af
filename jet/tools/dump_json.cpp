#include "jet/dump_json.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cmath>

#include "jet/db/database_impl.h"
#include "jet/text.h"

namespace jet {
namespace {

// Shortest round-trip digits, laid out as plain decimals between 10^-3 and
// 10^7 and in scientific form ("1.0E10") outside.
template <class F> std::string formatFloating(F v) {
    if (std::isnan(v)) return "\"NaN\"";
    if (std::isinf(v)) return v < 0 ? "\"-Infinity\"" : "\"Infinity\"";
    if (v == 0) return std::signbit(v) ? "-0.0" : "0.0";
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific);
    std::string_view sci(buf, static_cast<std::size_t>(r.ptr - buf));
    std::string out;
    if (sci[0] == '-') {
        out.push_back('-');
        sci.remove_prefix(1);
    }
    std::size_t e = sci.find('e');
    std::string digits;
    for (char c : sci.substr(0, e))
        if (c != '.') digits.push_back(c);
    int exp = std::stoi(std::string(sci.substr(e + 1)));
    F a = std::fabs(v);
    if (a >= static_cast<F>(1e-3) && a < static_cast<F>(1e7)) {
        if (exp >= 0) {
            std::size_t intDigits = static_cast<std::size_t>(exp) + 1;
            if (digits.size() < intDigits) digits.append(intDigits - digits.size(), '0');
            out += digits.substr(0, intDigits);
            out += '.';
            out += digits.size() > intDigits ? digits.substr(intDigits) : "0";
        } else {
            out += "0.";
            out.append(static_cast<std::size_t>(-exp - 1), '0');
            out += digits;
        }
        return out;
    }
    out += digits[0];
    out += '.';
    out += digits.size() > 1 ? digits.substr(1) : "0";
    out += 'E';
    out += std::to_string(exp);
    return out;
}

// Days since 1970-01-01 to a civil date (proleptic Gregorian).
void civilFromDays(std::int64_t z, std::int64_t* y, unsigned* m, unsigned* d) {
    z += 719468;
    std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    unsigned doe = static_cast<unsigned>(z - era * 146097);
    unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    std::int64_t year = static_cast<std::int64_t>(yoe) + era * 400;
    unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    unsigned mp = (5 * doy + 2) / 153;
    *d = doy - (153 * mp + 2) / 5 + 1;
    *m = mp < 10 ? mp + 3 : mp - 9;
    *y = year + (*m <= 2);
}

constexpr std::int64_t kDayZeroFromEpoch = -25569; // 1899-12-30
constexpr std::int64_t kMsPerDay = 86400000;

const char kHex[] = "0123456789abcdef";

void appendHex(std::string* out, const Bytes& b) {
    out->push_back('"');
    for (std::uint8_t c : b) {
        out->push_back(kHex[c >> 4]);
        out->push_back(kHex[c & 15]);
    }
    out->push_back('"');
}

std::string formatGuid(const Guid& g) {
    // The first three groups are stored little-endian.
    static const int order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    static const char upper[] = "0123456789ABCDEF";
    std::string s = "{";
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) s.push_back('-');
        std::uint8_t b = g.bytes[order[i]];
        s.push_back(upper[b >> 4]);
        s.push_back(upper[b & 15]);
    }
    s.push_back('}');
    return s;
}

std::string formatDouble(double v) { return formatFloating(v); }
std::string formatSingle(float v) { return formatFloating(v); }

std::string formatDate(double days) {
    if (!std::isfinite(days) || std::fabs(days) > 3e6) return formatDouble(days);
    // Before day zero the integer part counts days back and the fraction is
    // still the time of day.
    double whole = std::trunc(days);
    std::int64_t day = static_cast<std::int64_t>(whole);
    std::int64_t ms = std::llround(std::fabs(days - whole) * kMsPerDay);
    if (ms >= kMsPerDay) {
        ms -= kMsPerDay;
        day += 1;
    }
    std::int64_t y;
    unsigned m, d;
    civilFromDays(day + kDayZeroFromEpoch, &y, &m, &d);
    char buf[48];
    int n = std::snprintf(buf, sizeof buf, "%04lld-%02u-%02uT%02lld:%02lld:%02lld", static_cast<long long>(y), m, d,
                          static_cast<long long>(ms / 3600000), static_cast<long long>(ms / 60000 % 60),
                          static_cast<long long>(ms / 1000 % 60));
    std::string s(buf, static_cast<std::size_t>(n));
    if (ms % 1000) {
        std::snprintf(buf, sizeof buf, ".%03lld", static_cast<long long>(ms % 1000));
        s += buf;
    }
    return s;
}

std::string formatCurrency(std::int64_t scaled) {
    bool negative = scaled < 0;
    std::uint64_t a = negative ? 0 - static_cast<std::uint64_t>(scaled) : static_cast<std::uint64_t>(scaled);
    char frac[8];
    std::snprintf(frac, sizeof frac, "%04llu", static_cast<unsigned long long>(a % 10000));
    return (negative ? "-" : "") + std::to_string(a / 10000) + "." + frac;
}

std::string formatNumeric(const Numeric& n) {
    // Repeated division of the 128-bit magnitude by 10.
    std::array<std::uint8_t, 16> mag = n.magnitude;
    std::string digits;
    for (;;) {
        bool zero = true;
        unsigned rem = 0;
        for (int i = 15; i >= 0; --i) {
            unsigned cur = rem << 8 | mag[i];
            mag[i] = static_cast<std::uint8_t>(cur / 10);
            rem = cur % 10;
            if (mag[i]) zero = false;
        }
        digits.insert(digits.begin(), static_cast<char>('0' + rem));
        if (zero) break;
    }
    if (digits.size() <= n.scale) digits.insert(0, n.scale + 1 - digits.size(), '0');
    if (n.scale) digits.insert(digits.size() - n.scale, 1, '.');
    bool isZero = digits.find_first_not_of("0.") == std::string::npos;
    return (n.negative && !isZero ? "-" : "") + digits;
}

std::string dumpTypeName(const ColumnDef& c) {
    switch (c.type) {
    case ColumnType::Bool: return "bool";
    case ColumnType::Byte: return "byte";
    case ColumnType::Int: return "int";
    case ColumnType::Long: return c.isAutonumber() ? "autonum" : "long";
    case ColumnType::Currency: return "currency";
    case ColumnType::Single: return "single";
    case ColumnType::Double: return "double";
    case ColumnType::DateTime: return "date";
    case ColumnType::Text: return "text(" + std::to_string(c.length / 2) + ")";
    case ColumnType::Memo: return "memo";
    case ColumnType::Ole: return "ole";
    case ColumnType::Guid: return c.isGuidAutonumber() ? "guid-autonum" : "guid";
    case ColumnType::Numeric: return "numeric(" + std::to_string(c.precision) + "," + std::to_string(c.scale) + ")";
    case ColumnType::BigInt: return "bigint";
    case ColumnType::Complex: return "complex";
    default: return "binary(" + std::to_string(c.length) + ")";
    }
}

bool isPlainAscii(char16_t c) { return c >= 0x20 && c < 0x80 && c != u'"' && c != u'\\'; }

void appendJsonValue(std::string* out, const Value& v) {
    struct Visitor {
        std::string* out;
        void operator()(std::monostate) { *out += "null"; }
        void operator()(bool b) { *out += b ? "true" : "false"; }
        void operator()(std::int64_t i) { *out += std::to_string(i); }
        void operator()(const Currency& c) { *out += '"' + formatCurrency(c.scaled) + '"'; }
        void operator()(float f) { *out += formatSingle(f); }
        void operator()(double d) { *out += formatDouble(d); }
        void operator()(const DateTime& d) { *out += '"' + formatDate(d.days) + '"'; }
        void operator()(const std::u16string& s) { appendJsonString(out, s); }
        void operator()(const Bytes& b) { appendHex(out, b); }
        void operator()(const Guid& g) { *out += '"' + formatGuid(g) + '"'; }
        void operator()(const Numeric& n) { *out += '"' + formatNumeric(n) + '"'; }
    };
    std::visit(Visitor{out}, v);
}

Status writeTable(Table& table, std::string* buf, std::ostream& out) {
    const TableDef& def = impl(table).def();
    *buf += "   \"columns\": [";
    for (std::size_t i = 0; i < def.columns.size(); ++i) {
        if (i) *buf += ", ";
        *buf += "{\"name\": ";
        appendJsonString(buf, fromUtf8(def.columns[i].name));
        *buf += ", \"type\": \"" + dumpTypeName(def.columns[i]) + "\"}";
    }
    *buf += "],\n   \"rows\": [";
    Table::Cursor cursor(table);
    bool first = true;
    for (;;) {
        bool has;
        JET_TRY(cursor.next(&has));
        if (!has) break;
        *buf += first ? "\n    [" : ",\n    [";
        first = false;
        const std::vector<Value>& row = cursor.row();
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i) *buf += ", ";
            appendJsonValue(buf, row[i]);
        }
        *buf += ']';
        if (buf->size() > (1u << 16)) {
            out << *buf;
            buf->clear();
        }
    }
    *buf += first ? "]\n" : "\n   ]\n";
    return Status::OK();
}

} // namespace

void appendJsonString(std::string* out, std::u16string_view s) {
    out->push_back('"');
    for (std::size_t i = 0; i < s.size();) {
        if (isPlainAscii(s[i])) {
            // Copy a run of characters that need no escape in one step.
            std::size_t end = i;
            while (end < s.size() && isPlainAscii(s[end])) ++end;
            std::size_t at = out->size();
            out->resize(at + (end - i));
            for (char* p = out->data() + at; i < end; ++i) *p++ = static_cast<char>(s[i]);
            continue;
        }
        char16_t c = s[i++];
        switch (c) {
        case u'"': *out += "\\\""; continue;
        case u'\\': *out += "\\\\"; continue;
        case u'\n': *out += "\\n"; continue;
        case u'\r': *out += "\\r"; continue;
        case u'\t': *out += "\\t"; continue;
        case u'\b': *out += "\\b"; continue;
        case u'\f': *out += "\\f"; continue;
        default: break;
        }
        if (c < 0x20 || (c >= 0xD800 && c < 0xE000)) {
            *out += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4) out->push_back(kHex[c >> shift & 15]);
        } else {
            appendUtf8(out, c);
        }
    }
    out->push_back('"');
}

Status writeDump(Database& db, std::ostream& out) {
    std::string buf = "{\n \"format\": \"";
    buf += formatName(db.format());
    buf += "\",\n \"properties\": {";
    std::vector<const Property*> props;
    for (const Property& p : impl(db).properties()) props.push_back(&p);
    std::stable_sort(props.begin(), props.end(),
                     [](const Property* a, const Property* b) { return lessIgnoreCase(a->name, b->name); });
    for (std::size_t i = 0; i < props.size(); ++i) {
        buf += i ? ",\n  " : "\n  ";
        appendJsonString(&buf, fromUtf8(props[i]->name));
        buf += ": ";
        appendJsonValue(&buf, props[i]->value);
    }
    buf += props.empty() ? "},\n" : "\n },\n";
    buf += " \"tables\": {";
    std::vector<std::string> names = db.userTables();
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::unique_ptr<Table> table;
        JET_TRY(db.openTable(names[i], &table));
        buf += i ? ",\n  " : "\n  ";
        appendJsonString(&buf, fromUtf8(names[i]));
        buf += ": {\n";
        JET_TRY(writeTable(*table, &buf, out));
        buf += "  }";
    }
    buf += names.empty() ? "}\n}\n" : "\n }\n}\n";
    out << buf;
    if (!out) return Status::error(Status::Code::IoError, "Výpis sa nepodarilo zapísať.");
    return Status::OK();
}

} // namespace jet
