#include "jet/index/taken_keys.h"

#include <algorithm>
#include <cassert>
#include <optional>

#include "jet/index/entry_list.h"

namespace jet {
namespace {

// A walk costs about as much per entry as this many questions answered by
// the tree (it reads a page for some hundred entries, a question one or
// more pages).
constexpr std::size_t kQuestionsPerWalk = 8;
constexpr std::size_t kMinFilterRoom = 1024;
// Keys a filter being built takes at a time.
constexpr std::size_t kKeysAtOnce = 32;
// Stretches kept at most.
constexpr std::size_t kMostStretches = 1024;

// Compares `key` followed by a row pointer of four `fill` bytes with
// `entry`, in the tree's order: below, at or above zero.
int compareWithPointer(ByteSpan key, std::uint8_t fill, ByteSpan entry) {
    const std::size_t n = std::min(key.size(), entry.size());
    if (const int c = compareBytes(key.data(), entry.data(), n); c != 0) return c;
    // Past the key (or past a shorter entry, which ends the loop at once)
    // only the pointer's bytes are left.
    const std::size_t length = key.size() + kRowPointerBytes;
    for (std::size_t i = n; i < std::min(length, entry.size()); ++i)
        if (fill != entry[i]) return fill < entry[i] ? -1 : 1;
    return length < entry.size() ? -1 : length > entry.size() ? 1 : 0;
}

// The later of two ends of stretches, an empty one being none.
Bytes laterEnd(const Bytes& a, const Bytes& b) { return a.empty() || b.empty() ? Bytes{} : entryLess(a, b) ? b : a; }

// Fills a filter with the hashes of the keys handed to it, 32 at a time;
// done() adds the last.
class FilterFill {
public:
    explicit FilterFill(KeyFilter& filter) : filter_(filter) {}
    void operator()(ByteSpan key) {
        hashes_.push_back(hashKey(key));
        if (hashes_.size() == kKeysAtOnce) done();
    }
    void done() {
        filter_.addHashes(hashes_);
        hashes_.clear();
    }

private:
    KeyFilter& filter_;
    std::vector<std::uint64_t> hashes_;
};

} // namespace

Status TakenKeys::find(ByteSpan key, std::uint64_t hash, bool* taken) {
    *taken = false;
    const bool kept = inStretch(key);
    if (!kept) {
        JET_TRY(considerFilter());
        if (filter_ && !filter_->mayHold(hash)) return Status::OK();
    }
    if (addedFilters_.empty()) filterAdded();
    const bool mayBeAdded = std::any_of(addedFilters_.begin(), addedFilters_.end(),
                                        [&](const std::unique_ptr<KeyFilter>& f) { return f->mayHold(hash); });
    // Inside a stretch kept the tree holds only keys added since: none of
    // them is this one.
    if (kept && !mayBeAdded) return Status::OK();
    if (mayBeAdded && (*taken = batch_->holdsKey(key, hash))) return Status::OK();
    std::optional<Bytes> next;
    JET_TRY(tree_->contains(key, taken, &next));
    if (!*taken && !kept) keepStretch(key, next);
    return Status::OK();
}

// The tree's filter past its room is built anew, bigger, at the next
// question. The filter of added keys past its room is followed by one twice
// as big: together they still hold every key added, and so the stretches
// stay good.
void TakenKeys::added(std::uint64_t hash) {
    if (filter_) {
        filter_->add(hash);
        if (filter_->full()) {
            entries_ = filter_->added();
            filter_.reset();
        }
    }
    if (addedFilters_.empty()) return;
    KeyFilter& last = *addedFilters_.back();
    last.add(hash);
    if (last.full()) addedFilters_.push_back(std::make_unique<KeyFilter>(2 * last.room()));
}

// The last stretch starting at or before the key's lowest entry holds it,
// when it ends after its highest.
bool TakenKeys::inStretch(ByteSpan key) const {
    const auto after = std::upper_bound(stretches_.begin(), stretches_.end(), key, [](ByteSpan k, const Stretch& s) {
        return compareWithPointer(k, 0x00, s.from) < 0;
    });
    if (after == stretches_.begin()) return false;
    const Stretch& s = *std::prev(after);
    return s.to.empty() || compareWithPointer(key, 0xFF, s.to) < 0;
}

// The new stretch is joined with those it meets: each holds no entry of the
// tree but keys added since it was kept, and so does every point of them
// together.
// REQUIRES: the filters of added keys are there, so that they hold every
// key added while the stretch is kept.
void TakenKeys::keepStretch(ByteSpan key, const std::optional<Bytes>& next) {
    assert(!addedFilters_.empty());
    if (!next) return;
    Stretch fresh{Bytes(key.begin(), key.end()), *next};
    fresh.from.resize(key.size() + kRowPointerBytes, 0);
    // Whether `a`, starting first, reaches `b`.
    const auto meets = [](const Stretch& a, const Stretch& b) { return a.to.empty() || !entryLess(a.to, b.from); };
    auto at = std::upper_bound(stretches_.begin(), stretches_.end(), fresh.from,
                               [](const Bytes& from, const Stretch& s) { return entryLess(from, s.from); });
    if (at != stretches_.begin() && meets(*std::prev(at), fresh)) {
        --at;
        at->to = laterEnd(at->to, fresh.to);
    } else {
        if (stretches_.size() >= kMostStretches) return;
        at = stretches_.insert(at, std::move(fresh));
    }
    auto end = std::next(at);
    for (; end != stretches_.end() && meets(*at, *end); ++end) at->to = laterEnd(at->to, end->to);
    stretches_.erase(std::next(at), end);
}

// Made from the batch's keys: the ones added before went into the tree
// with no stretch kept.
void TakenKeys::filterAdded() {
    addedFilters_.push_back(std::make_unique<KeyFilter>(std::max({2 * batch_->size(), addedRoom_, kMinFilterRoom})));
    FilterFill fill(*addedFilters_.back());
    batch_->forEachKey([&](ByteSpan key) { fill(key); });
    fill.done();
}

Status TakenKeys::considerFilter() {
    if (filter_ || unfilterable_ || ++asked_ * kQuestionsPerWalk < entries_) return Status::OK();
    auto filter = std::make_unique<KeyFilter>(2 * std::max(entries_, asked_) + kMinFilterRoom);
    FilterFill fill(*filter);
    const Status s = tree_->walkKeys([&](ByteSpan key) { fill(key); });
    if (s.code() == Status::Code::Corrupt) {
        unfilterable_ = true;
        return Status::OK();
    }
    JET_TRY(s);
    batch_->forEachKey([&](ByteSpan key) { fill(key); });
    fill.done();
    filter_ = std::move(filter);
    return Status::OK();
}

} // namespace jet
