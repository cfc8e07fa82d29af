// An open-addressing hash table for lookups that run once per row (the
// merge's key maps and identifier sets, the index writer's batch of new
// keys): values filed under a hash, found by linear probing from the slot the
// hash names, the table kept at most half full so that most lookups take
// one probe. A slot keeps 32 bits of the hash beside its value: small slots
// are fewer cache lines, and a table is never 2^31 slots large.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace jet {

template <class Value> class ProbeTable {
public:
    // The value filed under `hash` that `matches` accepts; null when none.
    template <class Matches> const Value* find(std::uint64_t hash, Matches matches) const {
        if (slots_.empty()) return nullptr;
        const Slot& slot = slots_[probe(hash, matches)];
        return slot.tag ? &slot.value : nullptr;
    }

    // Files `value` under `hash` unless a value filed there that `matches`
    // accepts stands already; true when it was filed.
    template <class Matches> bool insert(std::uint64_t hash, Matches matches, Value value) {
        if (2 * (used_ + 1) > slots_.size()) grow();
        Slot& slot = slots_[probe(hash, matches)];
        if (slot.tag) return false;
        slot = {tagOf(hash), std::move(value)};
        ++used_;
        return true;
    }

    // Brings the slot `hash` names toward the processor, for an insert or
    // find soon after.
    void prefetch(std::uint64_t hash) const {
        if (!slots_.empty()) __builtin_prefetch(&slots_[tagOf(hash) & (slots_.size() - 1)]);
    }

    // Room for `values` values in all: inserting up to them moves none.
    void reserve(std::size_t values) {
        std::size_t count = slots_.empty() ? 16 : slots_.size();
        while (count < 2 * values) count *= 2;
        if (count > slots_.size()) rehash(count);
    }

    std::size_t size() const { return used_; }
    std::size_t slotCount() const { return slots_.size(); }
    void clear() {
        slots_.clear();
        used_ = 0;
    }

private:
    struct Slot {
        std::uint32_t tag = 0; // 0: empty
        Value value{};
    };

    // The hash's low 32 bits with the top one set: the bits below it name
    // the slot, and a tag is never 0.
    static std::uint32_t tagOf(std::uint64_t hash) { return static_cast<std::uint32_t>(hash) | 0x80000000u; }

    // The slot holding the value `matches` accepts, or the empty slot where
    // it would go.
    template <class Matches> std::size_t probe(std::uint64_t hash, Matches& matches) const {
        const std::size_t mask = slots_.size() - 1;
        const std::uint32_t tag = tagOf(hash);
        for (std::size_t i = tag & mask;; i = (i + 1) & mask) {
            const Slot& slot = slots_[i];
            if (!slot.tag || (slot.tag == tag && matches(slot.value))) return i;
        }
    }

    void grow() { rehash(slots_.empty() ? 16 : 2 * slots_.size()); }

    // REQUIRES: `count` a power of two, more than the values filed, at most
    // 2^31 (the tag's bits below its top one name the slot).
    void rehash(std::size_t count) {
        assert(count <= std::size_t{1} << 31);
        std::vector<Slot> old = std::move(slots_);
        slots_.assign(count, Slot{});
        const std::size_t mask = slots_.size() - 1;
        for (Slot& slot : old) {
            if (!slot.tag) continue;
            std::size_t i = slot.tag & mask;
            while (slots_[i].tag) i = (i + 1) & mask;
            slots_[i] = std::move(slot);
        }
    }

    std::vector<Slot> slots_; // a power of two in size, or empty
    std::size_t used_ = 0;
};

} // namespace jet
