#include "merge/key_maps.h"

namespace merge {

std::size_t FirstNewKeys::home(std::int32_t oldKey) const {
    // Fibonacci hashing: the high half of the product spreads runs of keys.
    const std::uint64_t product = static_cast<std::uint32_t>(oldKey) * 0x9E3779B97F4A7C15ull;
    return static_cast<std::size_t>(product >> 32) & (slots_.size() - 1);
}

void FirstNewKeys::add(std::int32_t oldKey, std::int32_t newKey) {
    if (2 * (used_ + 1) > slots_.size()) grow();
    for (std::size_t i = home(oldKey);; i = (i + 1) & (slots_.size() - 1)) {
        Slot& slot = slots_[i];
        if (slot.used && slot.oldKey == oldKey) return; // the first entry stands
        if (!slot.used) {
            slot = {oldKey, newKey, true};
            ++used_;
            return;
        }
    }
}

std::int32_t FirstNewKeys::find(std::int32_t oldKey) const {
    if (slots_.empty()) return 0;
    for (std::size_t i = home(oldKey);; i = (i + 1) & (slots_.size() - 1)) {
        const Slot& slot = slots_[i];
        if (!slot.used) return 0;
        if (slot.oldKey == oldKey) return slot.newKey;
    }
}

void FirstNewKeys::grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 16 : 2 * old.size(), Slot{});
    used_ = 0;
    for (const Slot& slot : old)
        if (slot.used) add(slot.oldKey, slot.newKey);
}

void FirstNewKeys::clear() {
    slots_.clear();
    used_ = 0;
}

std::int32_t KeyMaps::lookup(MapKind kind, std::int32_t oldKey) const {
    switch (kind) {
    case MapKind::Zariadenie: return MapZariadenie(oldKey);
    case MapKind::Skupina: return MapSkupina(oldKey);
    case MapKind::Zvuk: return MapZvuk(oldKey);
    case MapKind::Obchodzka: return MapObchodzka(oldKey);
    case MapKind::Objednavka: return MapObjednavka(oldKey);
    case MapKind::None: break;
    }
    return 0;
}

void KeyMaps::record(MapKind kind, std::int32_t oldKey, std::int32_t newKey) {
    switch (kind) {
    case MapKind::Zariadenie: colRefZariadenie.append({oldKey, newKey}); break;
    case MapKind::Skupina: colRefSkupina.append({oldKey, newKey}); break;
    case MapKind::Zvuk: colRefZvuk.append({oldKey, newKey}); break;
    case MapKind::Obchodzka: colRefObchodzka.append({oldKey, newKey}); break;
    case MapKind::Objednavka: colRefObjednavka.append({oldKey, newKey}); break;
    case MapKind::None: break;
    }
}

void KeyMaps::clear() {
    colRefZariadenie.clear();
    colRefSkupina.clear();
    colRefZvuk.clear();
    colRefObchodzka.clear();
    colRefObjednavka.clear();
}

} // namespace merge
