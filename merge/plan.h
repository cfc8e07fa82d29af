// The import plan: the 27 table steps in their fixed order, each saying
// which rows it takes, which key it renews, which map it fills and which
// references it rewrites. Every step reads only maps filled by earlier ones.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "merge/key_maps.h"

namespace merge {

enum class RowKind {
    Owning,     // takes a new key; fills a map (the remote-control step: none)
    Dependent,  // references rewritten through maps
    Identifier, // copied only when the target lacks its identifier text
};

// A reference column rewritten through a map. A tested reference that does
// not map (or is Null, or no whole number) leaves the row out; an untested
// one is written with its lookup result, 0 included, and a Null stays Null.
struct Reference {
    std::string_view column; // qualified
    MapKind map = MapKind::None;
    bool tested = true;
};

struct Step {
    std::string_view table;
    RowKind kind = RowKind::Dependent;
    std::string_view ownKey;       // qualified key column renewed; empty: none
    MapKind fills = MapKind::None; // map recording old and new own keys
    std::vector<Reference> references;
    std::string_view setTrue;      // qualified yes/no column set in every copied row
    std::string_view filterColumn; // qualified; rows whose value is Null or listed below are left out
    std::vector<std::int64_t> filterExcluded;
    std::string_view identifier; // qualified identifier column (identifier step)
};

const std::vector<Step>& importPlan();

} // namespace merge
