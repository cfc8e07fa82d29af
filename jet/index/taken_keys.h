// The uniqueness test of one unique index: is a key taken, by an entry
// waiting in the index's batch or by one in its tree? A merge asks it for
// nearly every row it appends and nearly never hears yes, while each
// answer from the tree costs a descent to a leaf as scattered as the key.
// So once the questions come to an eighth of the tree's entries, the tree
// is walked once (the walk that checks a file: a damaged tree gets no
// filter and is asked key by key as before) and a filter over its keys
// and the batch's answers most questions; the keys added later go into
// the filter as they go into the batch.
#pragma once

#include <cstddef>
#include <memory>

#include "jet/index/entry_batch.h"
#include "jet/index/index_tree.h"
#include "jet/index/key_filter.h"
#include "jet/status.h"

namespace jet {

class TakenKeys {
public:
    // `entries`: about how many entries the tree holds (its table's rows).
    // REQUIRES: the batch is keyed; both outlive this object.
    TakenKeys(IndexTree& tree, EntryBatch& batch, std::size_t entries)
        : tree_(&tree), batch_(&batch), entries_(entries) {}

    // `hash`: the key's hashKey(), made once for every use of the key.
    Status find(ByteSpan key, std::uint64_t hash, bool* taken);
    // A key of this hash has gone into the batch.
    void added(std::uint64_t hash);

private:
    Status considerFilter();

    IndexTree* tree_;
    EntryBatch* batch_;
    std::size_t entries_, asked_ = 0;
    std::unique_ptr<KeyFilter> filter_;
    bool unfilterable_ = false;
};

} // namespace jet
