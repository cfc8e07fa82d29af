#include "merge/dao.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "jet/text.h"

namespace merge {

namespace {

// The text form of a value; false for kinds the merge never reads as text.
bool valueText(const jet::Value& value, std::string* out) {
    char buffer[32];
    if (auto* i = std::get_if<std::int64_t>(&value)) {
        *out = std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, *i).ptr);
    } else if (auto* d = std::get_if<double>(&value)) {
        *out = std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, *d).ptr);
    } else if (auto* f = std::get_if<float>(&value)) {
        *out = std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, *f).ptr);
    } else if (auto* text = std::get_if<std::u16string>(&value)) {
        *out = jet::toUtf8(*text);
    } else if (auto* b = std::get_if<bool>(&value)) {
        *out = *b ? "True" : "False";
    } else {
        return false;
    }
    return true;
}

bool wholeInt32(double d, std::int32_t* out) {
    if (!(d >= std::numeric_limits<std::int32_t>::min() && d <= std::numeric_limits<std::int32_t>::max()) ||
        std::trunc(d) != d)
        return false;
    *out = static_cast<std::int32_t>(d);
    return true;
}

} // namespace

int fieldIndex(const std::vector<Field>& fields, std::string_view name) {
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (jet::equalsIgnoreCase(fields[i].name, name)) return static_cast<int>(i);
    return -1;
}

std::string ZistiStringHodnotu(Database* database, const Statement& query, std::string defaultText) {
    if (!database) return defaultText;
    std::unique_ptr<Recordset> rs;
    if (!database->openRecordset(query, &rs).ok() || rs->eof() || rs->values().empty()) return defaultText;
    std::string text;
    if (!jet::isNull(rs->values()[0]) && valueText(rs->values()[0], &text)) return text;
    return defaultText;
}

bool toInt32(const jet::Value& value, std::int32_t* out) {
    if (auto* i = std::get_if<std::int64_t>(&value)) {
        if (*i < std::numeric_limits<std::int32_t>::min() || *i > std::numeric_limits<std::int32_t>::max())
            return false;
        *out = static_cast<std::int32_t>(*i);
        return true;
    }
    if (auto* d = std::get_if<double>(&value)) return wholeInt32(*d, out);
    if (auto* f = std::get_if<float>(&value)) return wholeInt32(*f, out);
    return false;
}

} // namespace merge
