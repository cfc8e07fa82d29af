#include "jet/io/page_cache.h"

#include <algorithm>
#include <cassert>

namespace jet {

PageCache::PageCache(std::size_t capacity) : slots_(capacity) {
    free_.reserve(capacity);
    for (auto it = slots_.rbegin(); it != slots_.rend(); ++it) free_.push_back(&*it);
}

PageCache::Slot* PageCache::find(std::uint32_t pgno) {
    Slot* slot = pgno < where_.size() ? where_[pgno] : nullptr;
    if (!slot) return nullptr;
    if (slot != newest_) {
        unlink(slot);
        pushNewest(slot);
    }
    return slot;
}

PageCache::Slot* PageCache::insert(std::uint32_t pgno) {
    assert(pgno < kMaxPages);
    Slot* slot;
    if (!free_.empty()) {
        slot = free_.back();
        free_.pop_back();
    } else {
        slot = oldest_;
        assert(!slot->dirty);
        where_[slot->pgno] = nullptr;
        unlink(slot);
    }
    // Reuse the buffer unless a caller still holds it.
    if (!slot->page || slot->page.use_count() > 1) slot->page = std::make_shared_for_overwrite<Page>();
    slot->pgno = pgno;
    slot->dirty = false;
    if (pgno >= where_.size()) where_.resize(std::max<std::size_t>(pgno + 1, 2 * where_.size()), nullptr);
    where_[pgno] = slot;
    pushNewest(slot);
    return slot;
}

void PageCache::erase(Slot* slot) {
    where_[slot->pgno] = nullptr;
    unlink(slot);
    slot->dirty = false;
    free_.push_back(slot);
}

void PageCache::clear() {
    while (oldest_) erase(oldest_);
}

void PageCache::assign(Slot* slot, const Page& page) {
    if (slot->page.use_count() > 1) slot->page = std::make_shared<Page>(page);
    else *slot->page = page;
}

Page& PageCache::edit(Slot* slot) {
    if (slot->page.use_count() > 1) slot->page = std::make_shared<Page>(*slot->page);
    return *slot->page;
}

void PageCache::unlink(Slot* slot) {
    (slot->newer ? slot->newer->older : newest_) = slot->older;
    (slot->older ? slot->older->newer : oldest_) = slot->newer;
    slot->newer = slot->older = nullptr;
}

void PageCache::pushNewest(Slot* slot) {
    slot->older = newest_;
    slot->newer = nullptr;
    (newest_ ? newest_->newer : oldest_) = slot;
    newest_ = slot;
}

} // namespace jet
