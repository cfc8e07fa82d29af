// The sorted entries of one index page, stored back to back in a single
// buffer: a lookup reads one block of memory instead of one allocation per
// entry, and an insert moves bytes instead of entries.
#pragma once

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstdint>
#include <cstring>
#include <vector>

#include "jet/util/bytes.h"
#include "jet/value.h"

namespace jet {

// Compares the first `n` bytes of `a` and `b`: below, at or above zero.
// Keys are short, so eight bytes are compared at a time right here.
inline int compareBytes(const std::uint8_t* a, const std::uint8_t* b, std::size_t n) {
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t x, y;
        std::memcpy(&x, a + i, 8);
        std::memcpy(&y, b + i, 8);
        if (x != y) {
            if constexpr (std::endian::native == std::endian::little)
                x = __builtin_bswap64(x), y = __builtin_bswap64(y);
            return x < y ? -1 : 1;
        }
    }
    for (; i < n; ++i)
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    return 0;
}

// Byte-wise order of index entries, shorter first on a tie.
inline bool entryLess(ByteSpan a, ByteSpan b) {
    const int c = compareBytes(a.data(), b.data(), std::min(a.size(), b.size()));
    return c != 0 ? c < 0 : a.size() < b.size();
}

// Whether two entries (or two keys) are the same bytes.
inline bool entryEqual(ByteSpan a, ByteSpan b) {
    return a.size() == b.size() && compareBytes(a.data(), b.data(), a.size()) == 0;
}

// Loops over entries that lie scattered in memory (a batch's, visited in
// key order) ask for the entry this many places ahead before they need it.
constexpr std::size_t kFetchAhead = 8;

class EntryList {
public:
    EntryList() = default;
    explicit EntryList(const std::vector<Bytes>& entries) {
        for (const Bytes& e : entries) pushBack(e);
    }

    std::size_t size() const { return ends_.size(); }
    bool empty() const { return ends_.empty(); }
    // The bytes all entries take, stored whole.
    std::size_t bytes() const { return data_.size(); }

    // REQUIRES (here, front and back): an entry at i.
    ByteSpan operator[](std::size_t i) const {
        assert(i < size());
        const std::size_t from = i == 0 ? 0 : ends_[i - 1];
        return {data_.data() + from, ends_[i] - from};
    }
    ByteSpan front() const { return (*this)[0]; }
    ByteSpan back() const { return (*this)[size() - 1]; }

    // Bytes of entries [from, to).
    // REQUIRES: from <= to <= size().
    std::size_t bytes(std::size_t from, std::size_t to) const {
        assert(from <= to && to <= size());
        return (to == 0 ? 0 : ends_[to - 1]) - (from == 0 ? 0 : ends_[from - 1]);
    }

    // The longest prefix shared by entries [from, to): that of the first and
    // the last, the list being sorted. 0 for fewer than two.
    std::size_t sharedPrefix(std::size_t from, std::size_t to) const {
        if (to - from < 2) return 0;
        const ByteSpan a = (*this)[from], z = (*this)[to - 1];
        return static_cast<std::size_t>(std::mismatch(a.begin(), a.end(), z.begin(), z.end()).first - a.begin());
    }

    // The first position whose entry, seen through `view`, is not less than `x`.
    template <class View> std::size_t lowerBound(ByteSpan x, View view) const {
        std::size_t lo = 0, n = size();
        while (n > 0) {
            const std::size_t half = n / 2;
            if (entryLess(view((*this)[lo + half]), x)) {
                lo += half + 1;
                n -= half + 1;
            } else {
                n = half;
            }
        }
        return lo;
    }

    // REQUIRES: pos <= size(); e does not point into this list.
    void insert(std::size_t pos, ByteSpan e) {
        assert(pos <= size());
        const std::size_t at = pos == 0 ? 0 : ends_[pos - 1];
        data_.insert(data_.begin() + static_cast<std::ptrdiff_t>(at), e.begin(), e.end());
        ends_.insert(ends_.begin() + static_cast<std::ptrdiff_t>(pos), static_cast<std::uint32_t>(at));
        for (std::size_t i = pos; i < ends_.size(); ++i) ends_[i] += static_cast<std::uint32_t>(e.size());
    }
    void pushBack(ByteSpan e) {
        data_.insert(data_.end(), e.begin(), e.end());
        ends_.push_back(static_cast<std::uint32_t>(data_.size()));
    }
    // Room for `entries` entries of `bytes` in all, so that adding them
    // moves nothing.
    void reserve(std::size_t entries, std::size_t bytes) {
        ends_.reserve(entries);
        data_.reserve(bytes);
    }
    void replace(std::size_t pos, ByteSpan e) {
        const Bytes copy(e.begin(), e.end()); // e may point into this list
        erase(pos, pos + 1);
        insert(pos, copy);
    }
    // Removes entries [from, to).
    // REQUIRES: to <= size().
    void erase(std::size_t from, std::size_t to) {
        assert(to <= size());
        if (from >= to) return;
        const std::uint32_t a = from == 0 ? 0 : ends_[from - 1], b = ends_[to - 1];
        data_.erase(data_.begin() + a, data_.begin() + b);
        ends_.erase(ends_.begin() + static_cast<std::ptrdiff_t>(from), ends_.begin() + static_cast<std::ptrdiff_t>(to));
        for (std::size_t i = from; i < ends_.size(); ++i) ends_[i] -= b - a;
    }
    // Moves the first `count` entries to the end of `out`.
    // REQUIRES: count <= size(); out is another list.
    void moveFrontTo(std::size_t count, EntryList* out) {
        assert(count <= size() && out != this);
        const auto base = static_cast<std::uint32_t>(out->data_.size());
        out->data_.insert(out->data_.end(), data_.begin(), data_.begin() + bytes(0, count));
        for (std::size_t i = 0; i < count; ++i) out->ends_.push_back(base + ends_[i]);
        erase(0, count);
    }

    std::vector<Bytes> toVector() const {
        std::vector<Bytes> out;
        out.reserve(size());
        for (std::size_t i = 0; i < size(); ++i) out.emplace_back((*this)[i].begin(), (*this)[i].end());
        return out;
    }

private:
    Bytes data_;
    std::vector<std::uint32_t> ends_; // where each entry ends in data_
};

} // namespace jet
