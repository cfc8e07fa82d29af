// The uniqueness test of one unique index: is a key taken, by an entry
// waiting in the index's batch or by one in its tree? A merge asks it for
// nearly every row it appends and nearly never hears yes, while each
// answer from the tree costs a descent to a leaf as scattered as the key.
//
// Most keys a merge appends fall in stretches of the tree's order where
// the tree held no entry: they start with a key given above the target's,
// between the few old keys there may be up there. A lookup that finds a key
// missing also finds where the next entry stands; the stretch up to it is
// kept (joined with those it meets), and the keys inside a stretch kept are
// looked for only among the keys added since, behind filters over those
// (a new one, twice as big, begun whenever the last is full): the only ones
// the tree can hold there, the batches that went in since included.
//
// For the other keys, once their questions come to an eighth of the
// tree's entries, the tree is walked once (the walk that checks a file: a
// damaged tree gets no filter and is asked key by key as before) and a
// filter over its keys and the batch's answers most questions; the keys
// added later go into the filter as they go into the batch.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

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
    // About how many keys will be added.
    void expect(std::size_t keys) { addedRoom_ = keys; }

private:
    // A stretch [from, to) of the tree's order; `to` empty: no end.
    struct Stretch {
        Bytes from, to;
    };

    // Whether every entry `key` could have lies in a stretch kept.
    bool inStretch(ByteSpan key) const;
    // `key` was not found, and `next` is the tree's first entry after it.
    void keepStretch(ByteSpan key, const std::optional<Bytes>& next);
    Status considerFilter();
    void filterAdded();

    IndexTree* tree_;
    EntryBatch* batch_;
    std::size_t entries_, asked_ = 0, addedRoom_ = 0;
    std::unique_ptr<KeyFilter> filter_; // the tree's keys and the batch's
    // The batch's keys when made, and every key added since: in the last
    // filter, and in those before it that were filled.
    std::vector<std::unique_ptr<KeyFilter>> addedFilters_;
    bool unfilterable_ = false;
    // Each holds no entry of the tree but keys added while it is kept. In
    // order, none meeting another.
    std::vector<Stretch> stretches_;
};

} // namespace jet
