#include "jet/index/taken_keys.h"

#include <algorithm>
#include <cstring>
#include <optional>


namespace jet {
namespace {

// A walk costs about as much per entry as this many questions answered by
// the tree (it reads a page for some hundred entries, a question one or
// more pages).
constexpr std::size_t kQuestionsPerWalk = 8;
constexpr std::size_t kMinFilterRoom = 1024;
// Keys a filter being built takes at a time.
constexpr std::size_t kKeysAtOnce = 32;

// Compares `key` followed by a row pointer of four `fill` bytes with
// `entry`, in the tree's order: below, at or above zero.
int compareWithPointer(ByteSpan key, std::uint8_t fill, ByteSpan entry) {
    const std::size_t n = std::min(key.size(), entry.size());
    if (const int c = n == 0 ? 0 : std::memcmp(key.data(), entry.data(), n); c != 0) return c;
    const std::size_t length = key.size() + kRowPointerBytes;
    for (std::size_t i = n; i < std::min(length, entry.size()); ++i) {
        const std::uint8_t b = i < key.size() ? key[i] : fill;
        if (b != entry[i]) return b < entry[i] ? -1 : 1;
    }
    return length < entry.size() ? -1 : length > entry.size() ? 1 : 0;
}

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
    const bool inTree = !inGap(key);
    if (inTree) {
        JET_TRY(considerFilter());
        if (filter_ && !filter_->mayHold(hash)) return Status::OK();
    }
    if (!batchFilter_) filterBatch();
    if (batchFilter_->mayHold(hash)) *taken = batch_->holdsKey(key, hash);
    if (*taken || !inTree) return Status::OK();
    std::optional<Bytes> next;
    JET_TRY(tree_->contains(key, taken, &next));
    if (!*taken) learnGap(key, next);
    return Status::OK();
}

// A filter past its room is built anew, bigger, at the next question.
void TakenKeys::added(std::uint64_t hash) {
    for (std::unique_ptr<KeyFilter>* f : {&filter_, &batchFilter_}) {
        if (!*f) continue;
        (*f)->add(hash);
        if (!(*f)->full()) continue;
        if (f == &filter_) entries_ = filter_->added();
        f->reset();
    }
}

// The new entries may lie anywhere, the stretch included.
void TakenKeys::batchInserted() {
    gapKnown_ = false;
    batchFilter_.reset();
}

bool TakenKeys::inGap(ByteSpan key) const {
    return gapKnown_ && compareWithPointer(key, 0x00, gapFrom_) >= 0 &&
           (gapTo_.empty() || compareWithPointer(key, 0xFF, gapTo_) < 0);
}

void TakenKeys::learnGap(ByteSpan key, const std::optional<Bytes>& next) {
    if (!next) return;
    const bool sameEnd = gapKnown_ && gapTo_ == *next;
    if (sameEnd && compareWithPointer(key, 0x00, gapFrom_) >= 0) return;
    gapFrom_.assign(key.begin(), key.end());
    gapFrom_.resize(key.size() + kRowPointerBytes, 0);
    if (!sameEnd) gapTo_ = *next;
    gapKnown_ = true;
}

void TakenKeys::filterBatch() {
    batchFilter_ = std::make_unique<KeyFilter>(std::max({2 * batch_->size(), batchRoom_, kMinFilterRoom}));
    FilterFill fill(*batchFilter_);
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
