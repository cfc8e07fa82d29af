// A fixed number of page slots, least recently used first out. The cache only
// keeps the slots; reading, writing and deciding what a dirty slot needs
// before it may go are the pager's business.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "jet/io/pager.h"

namespace jet {

class PageCache {
public:
    struct Slot {
        std::uint32_t pgno = 0;
        bool dirty = false;
        std::shared_ptr<Page> page;
        Slot* newer = nullptr;
        Slot* older = nullptr;
    };

    explicit PageCache(std::size_t capacity);
    PageCache(const PageCache&) = delete;
    PageCache& operator=(const PageCache&) = delete;

    std::size_t size() const { return slots_.size() - free_.size(); }
    std::size_t capacity() const { return slots_.size(); }
    bool full() const { return size() == capacity(); }

    bool holds(std::uint32_t pgno) const { return pgno < where_.size() && where_[pgno]; }
    // The slot of a cached page, made the most recently used; null if absent.
    Slot* find(std::uint32_t pgno);
    // A clean slot for an uncached page, at the most recent end, its buffer
    // not shared with anyone (content undefined). When full, the least
    // recently used slot goes; it must be clean.
    // REQUIRES: pgno < kMaxPages.
    Slot* insert(std::uint32_t pgno);
    void erase(Slot* slot);
    void clear();

    // Sets the slot's content; callers holding the old content keep it.
    static void assign(Slot* slot, const Page& page);
    // The slot's content, to change in place; callers holding it keep theirs.
    static Page& edit(Slot* slot);

    Slot* oldest() const { return oldest_; }

private:
    void unlink(Slot* slot);
    void pushNewest(Slot* slot);

    std::vector<Slot> slots_;
    std::vector<Slot*> free_;
    // By page number: a page's slot, null when it is not cached. At most
    // kMaxPages long (4 MB).
    std::vector<Slot*> where_;
    Slot* newest_ = nullptr;
    Slot* oldest_ = nullptr;
};

} // namespace jet
