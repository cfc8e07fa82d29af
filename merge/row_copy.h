// The one procedure by which every step copies a table: walk the source
// table, decide each row by the step's plan, and append the accepted rows to
// the target table of the same name with renewed keys and rewritten
// references.
#pragma once

#include <cstdint>

#include "jet/status.h"
#include "merge/dao.h"
#include "merge/import_run.h"
#include "merge/key_maps.h"
#include "merge/plan.h"

namespace merge {

// New keys of a step: the target's highest key plus 1, then one up per row.
// Never hands out 0 (a lookup result of 0 means "not copied") and never
// goes past the largest 32-bit key.
class NextKey {
public:
    explicit NextKey(std::int64_t highest) : next_(highest + 1) {}
    bool take(std::int32_t* key);

private:
    std::int64_t next_;
};

// The next key of a step from the target's highest key (0 over an empty table).
NextKey firstNewKey(Database& target, const Step& step);

// Runs one step. Rows the plan leaves out and rows the target refuses are
// counted, and so are copied values that a target column cannot hold (the
// field is left empty and the row saved). A source table that is missing, or
// lacks a column the step reads, ends the step without a row, saying why in
// counts->unread. Only a failure of the engine itself is returned (a damaged
// table included).
// REQUIRES: the target has the step's table (runImportSteps asks first).
jet::Status copyTable(const Step& step, Database& source, Database& target, KeyMaps& maps, StepCounts* counts);

} // namespace merge
