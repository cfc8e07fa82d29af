#include "jet/io/page_cache.h"

#include <cassert>

namespace jet {

PageCache::PageCache(std::size_t capacity) : slots_(capacity) {
    free_.reserve(capacity);
    for (auto it = slots_.rbegin(); it != slots_.rend(); ++it) free_.push_back(&*it);
    map_.reserve(capacity);
}

PageCache::Slot* PageCache::find(std::uint32_t pgno) {
    auto it = map_.find(pgno);
    if (it == map_.end()) return nullptr;
    Slot* slot = it->second;
    if (slot != newest_) {
        unlink(slot);
        pushNewest(slot);
    }
    return slot;
}

PageCache::Slot* PageCache::insert(std::uint32_t pgno) {
    Slot* slot;
    if (!free_.empty()) {
        slot = free_.back();
        free_.pop_back();
    } else {
        slot = oldest_;
        assert(!slot->dirty);
        map_.erase(slot->pgno);
        unlink(slot);
    }
    // Reuse the buffer unless a caller still holds it.
    if (!slot->page || slot->page.use_count() > 1) slot->page = std::make_shared<Page>();
    slot->pgno = pgno;
    slot->dirty = false;
    map_.emplace(pgno, slot);
    pushNewest(slot);
    return slot;
}

void PageCache::erase(Slot* slot) {
    map_.erase(slot->pgno);
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
