#include "jet/index/key_filter.h"

namespace jet {
namespace {

constexpr std::size_t kBitsPerKey = 16;
constexpr int kBitsSet = 6; // per key, in its block
constexpr std::size_t kBlockBits = 512;

// Six bits per key, each named by nine bits of the remixed hash: the word
// of the block, then the bit in it.
template <class Visit> bool forEachBit(std::uint64_t hash, Visit visit) {
    std::uint64_t mixed = hash * 0x9E3779B97F4A7C15ull;
    for (int i = 0; i < kBitsSet; ++i, mixed >>= 9)
        if (!visit((mixed >> 6) & 7, std::uint64_t{1} << (mixed & 63))) return false;
    return true;
}

} // namespace

KeyFilter::KeyFilter(std::size_t keys) : blocks_(keys * kBitsPerKey / kBlockBits + 1), room_(keys) {}

std::size_t KeyFilter::blockOf(std::uint64_t hash) const {
    // The high half of the hash scaled to the number of blocks.
    return static_cast<std::size_t>(((hash >> 32) * blocks_.size()) >> 32);
}

void KeyFilter::addHashes(std::span<const std::uint64_t> hashes) {
    for (std::uint64_t hash : hashes) __builtin_prefetch(&blocks_[blockOf(hash)], 1);
    for (std::uint64_t hash : hashes) {
        Block& block = blocks_[blockOf(hash)];
        forEachBit(hash, [&](std::size_t word, std::uint64_t bit) { return (block[word] |= bit) != 0; });
    }
    added_ += hashes.size();
}

bool KeyFilter::mayHold(std::uint64_t hash) const {
    const Block& block = blocks_[blockOf(hash)];
    return forEachBit(hash, [&](std::size_t word, std::uint64_t bit) { return (block[word] & bit) != 0; });
}

} // namespace jet
