// Usage maps: sets of page numbers stored either inline in a row (start page
// plus bitmap) or as a list of bitmap pages (usage_map_format.h).
#pragma once

#include <cstdint>
#include <vector>

#include "jet/format/row_pointer.h"
#include "jet/format/usage_map_format.h"
#include "jet/io/pager.h"
#include "jet/status.h"

namespace jet {

// The member pages of the map stored in row `where`, in ascending order.
// A member past the end of the file is Corrupt.
Status readUsageMap(Pager& pager, RowPointer where, std::vector<std::uint32_t>* pages);

// The pages the global allocation map (page 1, row 0) marks free, in
// ascending order; its bits for pages past the end of the file (and bitmap
// pages past it) are ignored.
Status readFreePages(Pager& pager, std::vector<std::uint32_t>* pages);

} // namespace jet
