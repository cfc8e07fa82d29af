// The JSON dump of a database: format, database properties and every user
// table with its columns and rows in table-scan order.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "jet/database.h"
#include "jet/status.h"

namespace jet {

Status writeDump(Database& db, std::ostream& out);
// Appends `s` as a JSON string literal (quoted, escaped) to *out.
void appendJsonString(std::string* out, std::u16string_view s);

} // namespace jet
