#include "jet/index/taken_keys.h"

#include <algorithm>

namespace jet {
namespace {

// A walk costs about as much per entry as this many questions answered by
// the tree (it reads a page for some hundred entries, a question one or
// more pages).
constexpr std::size_t kQuestionsPerWalk = 8;
constexpr std::size_t kMinFilterRoom = 1024;
// Keys a filter being built takes at a time.
constexpr std::size_t kKeysAtOnce = 32;

} // namespace

Status TakenKeys::find(ByteSpan key, std::uint64_t hash, bool* taken) {
    JET_TRY(considerFilter());
    *taken = false;
    if (filter_ && !filter_->mayHold(hash)) return Status::OK();
    *taken = batch_->holdsKey(key, hash);
    if (!*taken) JET_TRY(tree_->contains(key, taken));
    return Status::OK();
}

// A filter past its room is built anew, bigger, at the next question.
void TakenKeys::added(std::uint64_t hash) {
    if (!filter_) return;
    filter_->add(hash);
    if (!filter_->full()) return;
    entries_ = filter_->added();
    filter_.reset();
}

Status TakenKeys::considerFilter() {
    if (filter_ || unfilterable_ || ++asked_ * kQuestionsPerWalk < entries_) return Status::OK();
    auto filter = std::make_unique<KeyFilter>(2 * std::max(entries_, asked_) + kMinFilterRoom);
    std::vector<std::uint64_t> hashes;
    auto take = [&](ByteSpan key) {
        hashes.push_back(hashKey(key));
        if (hashes.size() < kKeysAtOnce) return;
        filter->addHashes(hashes);
        hashes.clear();
    };
    const Status s = tree_->walkKeys(take);
    if (s.code() == Status::Code::Corrupt) {
        unfilterable_ = true;
        return Status::OK();
    }
    JET_TRY(s);
    batch_->forEachKey(take);
    filter->addHashes(hashes);
    filter_ = std::move(filter);
    return Status::OK();
}

} // namespace jet
