#include "jet/index/entry_batch.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstring>
#include <utility>

#include "jet/index/entry_list.h"
#include "jet/index/key_filter.h"

namespace jet {
namespace {

// Eight bytes of an entry from `offset` on as a big-endian number, zeros
// past its end. Where two entries agree before `offset` and their numbers
// differ, the numbers order them as entryLess does (an entry that begins
// another is padded below its next byte).
std::uint64_t prefixOf(ByteSpan e, std::size_t offset = 0) {
    std::uint8_t bytes[8] = {};
    if (offset < e.size()) std::memcpy(bytes, e.data() + offset, std::min<std::size_t>(e.size() - offset, 8));
    std::uint64_t v;
    std::memcpy(&v, bytes, 8);
    if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap64(v);
    return v;
}

} // namespace

ByteSpan EntryBatch::entry(std::uint32_t i) const {
    const std::uint32_t from = i == 0 ? 0 : ends_[i - 1];
    return {data_.data() + from, ends_[i] - from};
}

ByteSpan EntryBatch::keyOf(std::uint32_t i) const {
    const ByteSpan e = entry(i);
    return e.first(e.size() - kRowPointerBytes);
}

// A key not known to be new is filed at once, after those waiting (the
// filed entries stay those below filed_), and counted unless an equal key
// was filed before it.
void EntryBatch::add(ByteSpan e, std::uint64_t hash, bool distinct) {
    assert(e.size() <= UINT16_MAX && data_.size() + e.size() <= UINT32_MAX);
    if (data_.empty()) data_.reserve(std::min(room_ * e.size(), roomBytes_));
    if (grownData_ - data_.size() < e.size()) grownData_ = data_.size() + std::max(data_.size(), e.size());
    data_.insert(data_.end(), e.begin(), e.end());
    ends_.push_back(static_cast<std::uint32_t>(data_.size()));
    if (!keyed_) return;
    if (2 * (distinctKeys_ + 1) > grownSlots_) grownSlots_ = grownSlots_ ? 2 * grownSlots_ : 16;
    if (distinct) {
        ++distinctKeys_;
        waiting_.push_back(hash);
        return;
    }
    const auto n = static_cast<std::uint32_t>(ends_.size() - 1);
    fileWaiting();
    if (file(n, hash)) ++distinctKeys_;
    filed_ = n + 1;
}

bool EntryBatch::file(std::uint32_t i, std::uint64_t hash) {
    return keys_.insert(
        hash, [&](std::uint32_t j) { return entryEqual(keyOf(j), keyOf(i)); }, i);
}

void EntryBatch::fileWaiting() {
    if (waiting_.empty()) return;
    keys_.reserve(std::max<std::size_t>(room_, ends_.size()));
    constexpr std::size_t kAtOnce = 32;
    for (std::size_t from = 0; from < waiting_.size(); from += kAtOnce) {
        const std::size_t to = std::min(waiting_.size(), from + kAtOnce);
        for (std::size_t w = from; w < to; ++w) keys_.prefetch(waiting_[w]);
        for (std::size_t w = from; w < to; ++w) file(filed_ + static_cast<std::uint32_t>(w), waiting_[w]);
    }
    filed_ += static_cast<std::uint32_t>(waiting_.size());
    waiting_.clear();
    scans_ = 0;
}

// The waiting keys are looked through by their hashes, which costs far less
// than filing them, until questions come often enough to pay for it.
bool EntryBatch::holdsKey(ByteSpan key, std::uint64_t hash) {
    if (++scans_ > kScansBeforeFiling) fileWaiting();
    for (std::size_t w = 0; w < waiting_.size(); ++w)
        if (waiting_[w] == hash && entryEqual(keyOf(filed_ + static_cast<std::uint32_t>(w)), key)) return true;
    return filed_ > 0 && keys_.find(hash, [&](std::uint32_t i) { return entryEqual(keyOf(i), key); }) != nullptr;
}

void EntryBatch::reserve(std::size_t entries, std::size_t bytes) {
    ends_.reserve(entries);
    if (keyed_) waiting_.reserve(entries);
    room_ = entries;
    roomBytes_ = bytes;
}

// Orders `keys` by prefix: a stable counting pass per byte, lowest byte
// first, so keys of equal prefix keep their order. A byte all keys share
// needs no pass. Linear, where comparisons cost log n each.
void EntryBatch::sortPrefixes(std::vector<SortKey>* keys) {
    std::uint64_t varies = 0;
    for (const SortKey& k : *keys) varies |= k.prefix ^ keys->front().prefix;
    std::vector<SortKey> next(keys->size());
    for (int shift = 0; shift < 64; shift += 8) {
        if ((varies >> shift & 0xff) == 0) continue;
        std::uint32_t at[256] = {};
        for (const SortKey& k : *keys) ++at[k.prefix >> shift & 0xff];
        for (std::uint32_t b = 0, sum = 0; b < 256; ++b) sum += std::exchange(at[b], sum);
        for (const SortKey& k : *keys) next[at[k.prefix >> shift & 0xff]++] = k;
        keys->swap(next);
    }
}

// Orders each run of `keys` whose entries agree up to `offset`, by their
// next eight bytes and so on down; runs whose entries all end within them
// are compared whole.
void EntryBatch::sortRuns(std::span<SortKey> keys, std::size_t offset) const {
    for (auto from = keys.begin(); from != keys.end();) {
        auto to = from + 1;
        while (to != keys.end() && to->prefix == from->prefix) ++to;
        if (to - from > 1) {
            const std::span<SortKey> run(from, to);
            if (std::all_of(run.begin(), run.end(), [&](const SortKey& k) { return k.size <= offset; })) {
                std::sort(run.begin(), run.end(),
                          [&](const SortKey& a, const SortKey& b) { return entryLess(entry(a), entry(b)); });
            } else {
                // The entries lie in data_ in the order they came, not this one.
                for (std::size_t j = 0; j < run.size(); ++j) {
                    if (j + kFetchAhead < run.size())
                        __builtin_prefetch(data_.data() + run[j + kFetchAhead].from + offset);
                    run[j].prefix = prefixOf(entry(run[j]), offset);
                }
                std::sort(run.begin(), run.end(),
                          [](const SortKey& a, const SortKey& b) { return a.prefix < b.prefix; });
                sortRuns(run, offset + 8);
            }
        }
        from = to;
    }
}

// Entries are sorted by their first eight bytes as a number (no walk over two
// entries per comparison), entries of equal prefix by the next eight.
const std::vector<ByteSpan>& EntryBatch::sorted() {
    sorted_ = {}; // not held while the keys and their copy are
    std::vector<SortKey> order(ends_.size());
    for (std::uint32_t i = 0; i < ends_.size(); ++i) {
        const ByteSpan e = entry(i);
        order[i] = {prefixOf(e), static_cast<std::uint32_t>(e.data() - data_.data()),
                    static_cast<std::uint16_t>(e.size())};
    }
    if (!order.empty()) sortPrefixes(&order);
    sortRuns(order, 8);
    sorted_.reserve(order.size());
    for (const SortKey& k : order) sorted_.push_back(entry(k));
    return sorted_;
}

void EntryBatch::clear() { *this = EntryBatch(keyed_); }

} // namespace jet
