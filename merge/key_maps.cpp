#include "merge/key_maps.h"

namespace merge {

namespace {

// Fibonacci hashing: the high half of the product spreads runs of keys.
std::uint64_t keyHash(std::int32_t oldKey) { return static_cast<std::uint32_t>(oldKey) * 0x9E3779B97F4A7C15ull >> 32; }

auto withOldKey(std::int32_t oldKey) {
    return [oldKey](const auto& pair) { return pair.oldKey == oldKey; };
}

} // namespace

void FirstNewKeys::add(std::int32_t oldKey, std::int32_t newKey) {
    keys_.insert(keyHash(oldKey), withOldKey(oldKey), Pair{oldKey, newKey}); // the first entry stands
}

std::int32_t FirstNewKeys::find(std::int32_t oldKey) const {
    const Pair* pair = keys_.find(keyHash(oldKey), withOldKey(oldKey));
    return pair ? pair->newKey : 0;
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

void KeyMaps::reserve(MapKind kind, std::size_t more) {
    switch (kind) {
    case MapKind::Zariadenie: colRefZariadenie.reserve(more); break;
    case MapKind::Skupina: colRefSkupina.reserve(more); break;
    case MapKind::Zvuk: colRefZvuk.reserve(more); break;
    case MapKind::Obchodzka: colRefObchodzka.reserve(more); break;
    case MapKind::Objednavka: colRefObjednavka.reserve(more); break;
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
