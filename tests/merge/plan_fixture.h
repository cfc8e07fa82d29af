// A source and a target database file made from the empty server database,
// with the key maps of a run: rows go in by column name, the merge opens
// both files, and the target is read back from the file.
#pragma once

#include <stdexcept>

#include "mdb_file.h"
#include "merge/key_maps.h"
#include "merge/plan.h"
#include "schema/catalogue.h"

namespace merge::testing {

inline const Step& stepOf(std::string_view name) {
    for (const Step& step : importPlan())
        if (step.table == name) return step;
    throw std::runtime_error("no step");
}

// Key-cabinet boxes 1..n of device 1 with long descriptions, enough to
// fill more than one data page.
inline void fillBoxes(MdbFile& file, int n) {
    for (int k = 1; k <= n; ++k)
        file.insert("mek_schranky", {{"id_zariadenia", I(1)},
                                     {"index_schranky", I(k)},
                                     {"popis_schranky", jet::Value(std::u16string(100, u'\u017e'))}});
    file.close();
}

// A key map's entries as (old, new) pairs, in the order the map took them.
using MapEntries = std::vector<std::pair<std::int64_t, std::int64_t>>;
template <class Entry, std::int32_t Entry::*Old, std::int32_t Entry::*New>
MapEntries entriesOf(const KeyMap<Entry, Old, New>& map) {
    MapEntries out;
    for (const Entry& e : map.entries()) out.emplace_back(e.*Old, e.*New);
    return out;
}

struct PlanFixture {
    explicit PlanFixture(const char* targetFrom = "blank.mdb")
        : dir("merge"), source(dir / "zdroj.mdb"), target(dir / "ciel.mdb", targetFrom) {}
    ScratchDir dir;
    MdbFile source, target;
    KeyMaps maps;
};

} // namespace merge::testing
