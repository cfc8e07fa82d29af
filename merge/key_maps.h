// The five key maps of a merge: for each table that owns keys, which new key
// in the target replaced which old key of the source.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "jet/probe_table.h"

namespace merge {

struct claRefZariadenie {
    std::int32_t IdStarehoZariadenia = 0;
    std::int32_t IdNovehoZariadenia = 0;
};
struct claRefSkupina {
    std::int32_t IdStarejSkupiny = 0;
    std::int32_t IdNovejSkupiny = 0;
};
struct claRefZvuk {
    std::int32_t IdStarehoZvuku = 0;
    std::int32_t IdNovehoZvuku = 0;
};
struct claRefObchodzka {
    std::int32_t IdStarejObchodzky = 0;
    std::int32_t IdNovejObchodzky = 0;
};
struct claRefObjednavka {
    std::int32_t IdStarejObjednavky = 0;
    std::int32_t IdNovejObjednavky = 0;
};

// The new key of the first entry appended for each old key.
class FirstNewKeys {
public:
    // Keeps `newKey` unless the old key already has one.
    void add(std::int32_t oldKey, std::int32_t newKey);
    // 0 when the old key has none.
    std::int32_t find(std::int32_t oldKey) const;
    // Room for `keys` old keys in all.
    void reserve(std::size_t keys) { keys_.reserve(keys); }
    void clear() { keys_.clear(); }

private:
    struct Pair {
        std::int32_t oldKey = 0, newKey = 0;
    };
    jet::ProbeTable<Pair> keys_;
};

// Entries in the order they were appended, with an index that keeps the
// first entry of each old key, so a lookup costs O(1) and still returns what
// a walk from the first entry would find.
template <class Entry, std::int32_t Entry::*Old, std::int32_t Entry::*New> class KeyMap {
public:
    void append(const Entry& entry) {
        entries_.push_back(entry);
        firstByOld_.add(entry.*Old, entry.*New);
    }
    // The new key of the first entry with this old key; 0 when there is none.
    std::int32_t lookup(std::int32_t oldKey) const { return firstByOld_.find(oldKey); }
    const std::vector<Entry>& entries() const { return entries_; }
    // Room for `more` entries besides those there.
    void reserve(std::size_t more) {
        entries_.reserve(entries_.size() + more);
        firstByOld_.reserve(entries_.size() + more);
    }
    void clear() {
        entries_.clear();
        firstByOld_.clear();
    }

private:
    std::vector<Entry> entries_;
    FirstNewKeys firstByOld_;
};

// Which map a plan step fills or reads.
enum class MapKind { None, Zariadenie, Skupina, Zvuk, Obchodzka, Objednavka };

class KeyMaps {
public:
    KeyMap<claRefZariadenie, &claRefZariadenie::IdStarehoZariadenia, &claRefZariadenie::IdNovehoZariadenia>
        colRefZariadenie;
    KeyMap<claRefSkupina, &claRefSkupina::IdStarejSkupiny, &claRefSkupina::IdNovejSkupiny> colRefSkupina;
    KeyMap<claRefZvuk, &claRefZvuk::IdStarehoZvuku, &claRefZvuk::IdNovehoZvuku> colRefZvuk;
    KeyMap<claRefObchodzka, &claRefObchodzka::IdStarejObchodzky, &claRefObchodzka::IdNovejObchodzky> colRefObchodzka;
    KeyMap<claRefObjednavka, &claRefObjednavka::IdStarejObjednavky, &claRefObjednavka::IdNovejObjednavky>
        colRefObjednavka;

    std::int32_t MapZariadenie(std::int32_t oldKey) const { return colRefZariadenie.lookup(oldKey); }
    std::int32_t MapSkupina(std::int32_t oldKey) const { return colRefSkupina.lookup(oldKey); }
    std::int32_t MapZvuk(std::int32_t oldKey) const { return colRefZvuk.lookup(oldKey); }
    std::int32_t MapObchodzka(std::int32_t oldKey) const { return colRefObchodzka.lookup(oldKey); }
    std::int32_t MapObjednavka(std::int32_t oldKey) const { return colRefObjednavka.lookup(oldKey); }

    // The lookup and the appending of one map chosen by kind (None: 0, nothing).
    std::int32_t lookup(MapKind kind, std::int32_t oldKey) const;
    void record(MapKind kind, std::int32_t oldKey, std::int32_t newKey);
    // Room in one map for `more` entries (a step's rows), made once before
    // the step instead of growing as it goes.
    void reserve(MapKind kind, std::size_t more);

    // Each run starts from empty maps, so that no earlier run's entries stand
    // ahead of its own.
    void clear();
};

} // namespace merge
