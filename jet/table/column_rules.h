// The column properties that decide whether a value may be stored:
// Required (no Null) and AllowZeroLength (empty text allowed), read from
// the table's property blob in the catalogue.
#pragma once

#include <vector>

#include "jet/io/pager.h"
#include "jet/status.h"
#include "jet/format/tabledef.h"

namespace jet {

struct ColumnRules {
    bool required = false;
    bool allowZeroLength = true;
};

// One entry per column of `def`, in the definition's order. A table without
// properties gets the defaults.
Status readColumnRules(Pager& pager, const TableDef& def, std::vector<ColumnRules>* out);

} // namespace jet
