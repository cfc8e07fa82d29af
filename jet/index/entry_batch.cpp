#include "jet/index/entry_batch.h"

#include <algorithm>

#include "jet/format/index_page_format.h"
#include "jet/index/entry_list.h"
#include "jet/index/key_filter.h"

namespace jet {
namespace {

bool equal(ByteSpan a, ByteSpan b) { return std::equal(a.begin(), a.end(), b.begin(), b.end()); }

} // namespace

ByteSpan EntryBatch::entry(std::uint32_t i) const {
    const std::uint32_t from = i == 0 ? 0 : ends_[i - 1];
    return {data_.data() + from, ends_[i] - from};
}

ByteSpan EntryBatch::keyOf(std::uint32_t i) const {
    const ByteSpan e = entry(i);
    return e.first(e.size() - kRowPointerBytes);
}

void EntryBatch::add(ByteSpan e) {
    data_.insert(data_.end(), e.begin(), e.end());
    ends_.push_back(static_cast<std::uint32_t>(data_.size()));
    if (!keyed_) return;
    const auto n = static_cast<std::uint32_t>(ends_.size() - 1);
    const ByteSpan key = keyOf(n);
    keys_.insert(
        hashKey(key), [&](std::uint32_t i) { return equal(keyOf(i), key); }, n);
}

bool EntryBatch::holdsKey(ByteSpan key) const {
    return keys_.find(hashKey(key), [&](std::uint32_t i) { return equal(keyOf(i), key); }) != nullptr;
}

const std::vector<ByteSpan>& EntryBatch::sorted() {
    sorted_.clear();
    sorted_.reserve(ends_.size());
    for (std::uint32_t i = 0; i < ends_.size(); ++i) sorted_.push_back(entry(i));
    std::sort(sorted_.begin(), sorted_.end(), [](ByteSpan a, ByteSpan b) { return entryLess(a, b); });
    return sorted_;
}

void EntryBatch::clear() { *this = EntryBatch(keyed_); }

} // namespace jet
