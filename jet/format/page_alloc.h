// Page allocation and usage-map membership: the global allocation map on
// page 1 (a set bit means free) and the maps of tables, indexes and
// long-value columns (a set bit means member). Inline maps grow in place
// while their page has room and turn into maps of bitmap pages otherwise.
#pragma once

#include <cstdint>

#include "jet/io/pager.h"
#include "jet/format/row_pointer.h"
#include "jet/status.h"
#include "jet/format/usage_map.h"

namespace jet {

// Appends `content` as a new page at the end of the file and marks it used
// in the global map.
Status allocatePage(Pager& pager, const Page& content, std::uint32_t* pgno);

// Adds `pgno` to (member) or removes it from (!member) the map in row `map`.
Status setMapMember(Pager& pager, RowPointer map, std::uint32_t pgno, bool member);

} // namespace jet
