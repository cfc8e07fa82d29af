// A set of texts compared as the engine compares text, letter case ignored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "jet/probe_table.h"

namespace merge {

// The folded texts lie one after another in one buffer and are found
// through a table of their hashes; a text looked up is folded as it is
// compared, never copied.
class FoldedTextSet {
public:
    void insert(std::u16string_view text);
    bool contains(std::u16string_view text) const;
    std::size_t size() const { return table_.size(); }
    // Room for `texts` texts in all.
    void reserve(std::size_t texts) { table_.reserve(texts); }

private:
    struct Stored {
        std::size_t at = 0; // the folded text: texts_[at, at + length)
        std::uint32_t length = 0;
    };
    // Accepts the stored text that folds to what `text` folds to.
    auto matching(std::u16string_view text) const;

    std::u16string texts_;
    jet::ProbeTable<Stored> table_;
};

} // namespace merge
