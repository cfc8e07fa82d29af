// The last leaf entry of an index B-tree, reached by following the last
// child down from the root: the largest key without walking the tree.
#pragma once

#include <cstdint>

#include "jet/index/index_walk.h"
#include "jet/status.h"

namespace jet {

// The last leaf entry of the tree rooted at `root` (pages owned by the
// table whose TDEF page is `owner`); empty when the tree is one empty leaf.
// Corrupt for a page that is no index page of the table or a tree deeper
// than an index can be; NotFound when the last leaf is empty although the
// tree has several, so that its largest key is not at hand.
Status lastLeafEntry(const PageReader& read, std::uint32_t root, std::uint32_t owner, Bytes* entry);

} // namespace jet
