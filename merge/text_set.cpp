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

std::size_t FoldedTextSet::find(std::u16string_view text, std::uint64_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (!slot.used) return i;
        if (slot.hash != hash || slot.length != text.size()) continue;
        const char16_t* stored = texts_.data() + slot.at;
        if (std::equal(text.begin(), text.end(), stored, [](char16_t c, char16_t folded) {
                return jet::foldCase(c) == folded;
            }))
            return i;
    }
}

bool FoldedTextSet::contains(std::u16string_view text) const {
    return !slots_.empty() && slots_[find(text, foldedHash(text))].used;
}

void FoldedTextSet::insert(std::u16string_view text) {
    if (2 * (used_ + 1) > slots_.size()) grow();
    const std::uint64_t hash = foldedHash(text);
    Slot& slot = slots_[find(text, hash)];
    if (slot.used) return;
    slot = {hash, texts_.size(), static_cast<std::uint32_t>(text.size()), true};
    for (char16_t c : text) texts_.push_back(jet::foldCase(c));
    ++used_;
}

void FoldedTextSet::grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 16 : 2 * old.size(), Slot{});
    for (const Slot& slot : old)
        if (slot.used) {
            std::size_t i = slot.hash & (slots_.size() - 1);
            while (slots_[i].used) i = (i + 1) & (slots_.size() - 1);
            slots_[i] = slot;
        }
}

} // namespace merge
