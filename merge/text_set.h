// A set of texts compared as the engine compares text, letter case ignored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace merge {

// The folded texts lie one after another in one buffer and are found
// through an open-addressing table of their hashes, kept at most half full;
// a text looked up is folded as it is compared, never copied.
class FoldedTextSet {
public:
    void insert(std::u16string_view text);
    bool contains(std::u16string_view text) const;
    std::size_t size() const { return used_; }

private:
    struct Slot {
        std::uint64_t hash = 0;
        std::size_t at = 0; // the folded text: texts_[at, at + length)
        std::uint32_t length = 0;
        bool used = false;
    };
    // The slot holding `text`, or the empty slot where it would go.
    std::size_t find(std::u16string_view text, std::uint64_t hash) const;
    void grow();

    std::u16string texts_;
    std::vector<Slot> slots_; // a power of two in size, or empty
    std::size_t used_ = 0;
};

} // namespace merge
