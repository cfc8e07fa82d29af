// The new entries of one index that have not reached its tree yet: kept
// back to back in one buffer, handed to the tree sorted, so that a batch
// visits each leaf once instead of each entry descending on its own. The
// keys of a unique index are found again through a hash table, for the
// uniqueness test of the rows that follow. A key the test has just found
// new is filed there only when questions come often: behind a filter they
// come seldom, and are answered by looking through the hashes of the keys
// waiting; keys filed many at a time wait for their slots together instead
// of one after another.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "jet/format/index_page_format.h"
#include "jet/probe_table.h"
#include "jet/util/bytes.h"
#include "jet/value.h"

namespace jet {

class EntryBatch {
public:
    // `keyed`: holdsKey() answers for the keys of the entries added.
    explicit EntryBatch(bool keyed) : keyed_(keyed) {}

    // Adds a leaf entry (key and row pointer); `hash` is its key's
    // hashKey() when keyed. `distinct`: its key is none of the batch's keys
    // (the uniqueness test found it new).
    // REQUIRES: an entry of at most 65 535 bytes, all of them at most 4 GiB.
    void add(ByteSpan entry, std::uint64_t hash = 0, bool distinct = false);
    // Whether an entry added since the last clear() carries exactly `key`,
    // whose hashKey() is `hash`.
    // REQUIRES: keyed.
    bool holdsKey(ByteSpan key, std::uint64_t hash);
    // Calls f(key) for the key of every entry added since the last clear().
    template <class F> void forEachKey(F f) const {
        for (std::uint32_t i = 0; i < ends_.size(); ++i) f(keyOf(i));
    }

    // Room for `entries` entries of at most `bytes` in all, so that adding
    // them moves nothing: the entry list's and the waiting hashes' made now,
    // the entries' at the first (each taken as long as it) and the hash
    // table's when it is first needed. Leaves bytes() as it is.
    void reserve(std::size_t entries, std::size_t bytes);

    // The least bytes() counts for an entry: a key of one byte, no hash.
    static constexpr std::size_t kLeastEntryBytes = 1 + kRowPointerBytes + sizeof(std::uint32_t) + sizeof(ByteSpan);

    bool empty() const { return ends_.empty(); }
    std::size_t size() const { return ends_.size(); }
    // What the batch counts against its memory budget: its entries, entry
    // list and hash table as they stand when grown by doubling from empty
    // (16 bytes a hash slot), and the sorted list it hands out. The room
    // reserved ahead and the moment of sorting, which takes as much again,
    // are not counted, so that a batch goes to its tree where it always
    // did, and the tree's pages split where they always did.
    std::size_t bytes() const {
        const std::size_t listed = ends_.empty() ? 0 : std::bit_ceil(ends_.size());
        return grownData_ + sizeof(std::uint32_t) * listed + kCountedSlotBytes * grownSlots_ +
               sizeof(ByteSpan) * ends_.size();
    }
    // The entries in their tree order (sorted on each call).
    const std::vector<ByteSpan>& sorted();
    // Empties the batch and lets go of its memory.
    void clear();

private:
    // What sorted() sorts: an entry's first bytes as a number, and where the
    // entry lies in data_, so that sorting reads no other list.
    struct SortKey {
        std::uint64_t prefix;
        std::uint32_t from;
        std::uint16_t size;
    };
    // REQUIRES: !keys->empty().
    static void sortPrefixes(std::vector<SortKey>* keys);
    // REQUIRES: keys in order by their entries' bytes before `offset`,
    // their prefixes those of the eight bytes before it.
    void sortRuns(std::span<SortKey> keys, std::size_t offset) const;

    ByteSpan entry(std::uint32_t i) const;
    ByteSpan entry(const SortKey& k) const { return {data_.data() + k.from, k.size}; }
    ByteSpan keyOf(std::uint32_t i) const;
    // Files the waiting keys in the hash table.
    void fileWaiting();
    // Files entry i's key under `hash`; false when an equal key was filed.
    bool file(std::uint32_t i, std::uint64_t hash);

    static constexpr std::size_t kCountedSlotBytes = 16;
    // Questions answered by looking through the waiting keys before they
    // are filed.
    static constexpr std::size_t kScansBeforeFiling = 16;

    bool keyed_;
    std::size_t grownData_ = 0;          // data_'s room, had it grown by doubling from empty
    std::size_t distinctKeys_ = 0;       // filed or not
    std::size_t grownSlots_ = 0;         // the hash table's slots, had it grown by doubling from empty
    std::uint32_t filed_ = 0;            // entries below it have their keys filed
    std::vector<std::uint64_t> waiting_; // the hashes of the keys of the entries from filed_ on
    std::size_t scans_ = 0;              // questions since the keys were last filed
    std::size_t room_ = 0;               // entries reserve() made room for
    std::size_t roomBytes_ = 0;          // the most their bytes may take
    Bytes data_;
    std::vector<std::uint32_t> ends_; // where each entry ends in data_
    ProbeTable<std::uint32_t> keys_;  // entry numbers, by their keys' hash; the first of equal keys
    std::vector<ByteSpan> sorted_;
};

} // namespace jet
