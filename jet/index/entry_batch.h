// The new entries of one index that have not reached its tree yet: kept
// back to back in one buffer, handed to the tree sorted, so that a batch
// visits each leaf once instead of each entry descending on its own. The
// keys of a unique index are found again through a hash table, for the
// uniqueness test of the rows that follow.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "jet/util/bytes.h"
#include "jet/value.h"

namespace jet {

class EntryBatch {
public:
    // `keyed`: holdsKey() answers for the keys of the entries added.
    explicit EntryBatch(bool keyed) : keyed_(keyed) {}

    // Adds a leaf entry (key and row pointer).
    void add(ByteSpan entry);
    // Whether an entry added since the last clear() carries exactly `key`.
    // REQUIRES: keyed.
    bool holdsKey(ByteSpan key) const;

    bool empty() const { return ends_.empty(); }
    // Memory the batch holds, with what sorting it adds.
    std::size_t bytes() const {
        return data_.capacity() + sizeof(std::uint32_t) * (ends_.capacity() + slots_.capacity()) +
               sizeof(ByteSpan) * ends_.size();
    }
    // The entries in their tree order (sorted on each call).
    const std::vector<ByteSpan>& sorted();
    // Empties the batch and lets go of its memory.
    void clear();

private:
    ByteSpan entry(std::uint32_t i) const;
    ByteSpan keyOf(std::uint32_t i) const;
    // The slot of the entry whose key is `key`, or the empty slot where it goes.
    std::size_t probe(ByteSpan key, std::uint64_t hash) const;
    void grow();

    bool keyed_;
    Bytes data_;
    std::vector<std::uint32_t> ends_;  // where each entry ends in data_
    std::vector<std::uint32_t> slots_; // open addressing: entry number + 1, 0 = empty; a power of two or empty
    std::size_t keys_ = 0;
    std::vector<ByteSpan> sorted_;
};

} // namespace jet
