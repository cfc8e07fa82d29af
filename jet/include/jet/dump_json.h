// The JSON dump of a database: format, database properties and every user
// table with its columns and rows in table-scan order.
#pragma once

#include <ostream>

#include "jet/database.h"
#include "jet/status.h"

namespace jet {

Status writeDump(Database& db, std::ostream& out);

} // namespace jet
