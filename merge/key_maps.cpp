#include "merge/key_maps.h"

namespace merge {

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
