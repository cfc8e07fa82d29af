#include "merge/text_set.h"

#include <algorithm>

#include "jet/text.h"

namespace merge {

namespace {

// FNV-1a over the folded code units.
std::uint64_t foldedHash(std::u16string_view text) {
    std::uint64_t h = 0xCBF29CE484222325ull;
    for (char16_t c : text) {
        h ^= jet::foldCase(c);
        h *= 0x100000001B3ull;
    }
    return h;
}

} // namespace

auto FoldedTextSet::matching(std::u16string_view text) const {
    return [this, text](const Stored& stored) {
        return stored.length == text.size() &&
               std::equal(text.begin(), text.end(), texts_.data() + stored.at,
                          [](char16_t c, char16_t folded) { return jet::foldCase(c) == folded; });
    };
}

bool FoldedTextSet::contains(std::u16string_view text) const {
    return table_.find(foldedHash(text), matching(text)) != nullptr;
}

void FoldedTextSet::insert(std::u16string_view text) {
    const Stored stored{texts_.size(), static_cast<std::uint32_t>(text.size())};
    if (!table_.insert(foldedHash(text), matching(text), stored)) return;
    for (char16_t c : text) texts_.push_back(jet::foldCase(c));
}

} // namespace merge
