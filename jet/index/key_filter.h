// A compact summary of the keys an index holds, for the question a merge
// asks of a unique index for nearly every row it appends: is this key
// there? "No" is certain; "maybe" (every key held, and about one in a
// thousand of the others) needs the tree. Bits are set in blocks of one
// cache line, so that adding or asking touches one line of memory.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "jet/util/bytes.h"

namespace jet {

// A hash of a key, eight bytes at a time, every bit of the result
// depending on every bit of the key.
inline std::uint64_t hashKey(ByteSpan key) {
    constexpr std::uint64_t kMul = 0xFF51AFD7ED558CCDull;
    std::uint64_t h = 0x9E3779B97F4A7C15ull ^ key.size();
    std::size_t i = 0;
    for (; i + 8 <= key.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, key.data() + i, 8);
        h = (h ^ word) * kMul;
        h ^= h >> 32;
    }
    std::uint64_t rest = 0;
    for (std::size_t k = 0; i + k < key.size(); ++k) rest |= std::uint64_t{key[i + k]} << (8 * k);
    h = (h ^ rest) * kMul;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ull;
    return h ^ (h >> 33);
}

class KeyFilter {
public:
    // Room for `keys` keys: filled up to it, about one key in a thousand
    // that was never added gets a "maybe" (one in twenty thousand at half
    // its room). More keys may be added, answering "maybe" more often.
    explicit KeyFilter(std::size_t keys);

    // Keys go in and are asked for by their hashKey().
    void add(std::uint64_t hash) { addHashes({&hash, 1}); }
    // Adds many keys, their blocks fetched all before any is set: the keys
    // wait for memory together.
    void addHashes(std::span<const std::uint64_t> hashes);
    // False only when the key was never added.
    bool mayHold(std::uint64_t hash) const;

    // Whether more keys were added than the filter has room for.
    bool full() const { return added_ > room_; }
    std::size_t added() const { return added_; }
    std::size_t room() const { return room_; }

private:
    using Block = std::array<std::uint64_t, 8>; // 512 bits, one cache line

    // The block a key's hash falls in.
    std::size_t blockOf(std::uint64_t hash) const;

    std::vector<Block> blocks_;
    std::size_t room_, added_ = 0;
};

} // namespace jet
