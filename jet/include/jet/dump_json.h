// The JSON dump of a database: format, database properties and every user
// table with its columns and rows in table-scan order.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "jet/database.h"
#include "jet/status.h"
#include "jet/format/tabledef.h"
#include "jet/value.h"

namespace jet {

Status writeDump(Database& db, std::ostream& out);

// The pieces, exposed for their tests.
std::string dumpTypeName(const ColumnDef& c);       // "long", "text(50)", "numeric(18,0)" ...
void appendJsonValue(std::string* out, const Value& v);
void appendJsonString(std::string* out, std::u16string_view s);
std::string formatDouble(double v);                 // 0.1, 2.5E-7, 1.0E10
std::string formatSingle(float v);
std::string formatDate(double days);                // 1899-12-29T12:00:00, .SSS when not zero
std::string formatCurrency(std::int64_t scaled);    // -3.7500
std::string formatNumeric(const Numeric& n);        // plain decimal

} // namespace jet
