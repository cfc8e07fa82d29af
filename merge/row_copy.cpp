#include "merge/row_copy.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "merge/names.h"

namespace merge {

namespace {

// Field positions of one step, found once by name before the walk.
struct Binding {
    struct Ref {
        int source = -1, target = -1;
        MapKind map = MapKind::None;
        bool tested = true;
    };
    std::vector<int> copyFrom; // per target field: the source field it takes, -1 none
    // The source row lines up with the target's fields: each copied field
    // comes from the same place, so the rows trade whole vectors instead of
    // values. `notCopied` are the target fields emptied after the trade.
    bool linedUp = false;
    std::vector<std::size_t> notCopied;
    std::vector<bool> offered; // per target field: its copied value stays unless the column cannot hold it
    std::vector<Ref> references;
    int sourceKey = -1, targetKey = -1;
    int targetSetTrue = -1;
    int sourceFilter = -1;
    int sourceIdentifier = -1;
};

int position(const std::vector<Field>& fields, std::string_view qualified) {
    return qualified.empty() ? -1 : fieldIndex(fields, ONT(qualified));
}

Binding bind(const Step& step, const std::vector<Field>& source, const std::vector<Field>& target) {
    Binding b;
    b.copyFrom.resize(target.size(), -1);
    for (std::size_t i = 0; i < target.size(); ++i)
        if (!target[i].autoNumber) b.copyFrom[i] = fieldIndex(source, target[i].name);
    b.linedUp = source.size() == target.size();
    for (std::size_t i = 0; i < target.size(); ++i) {
        if (b.copyFrom[i] < 0) b.notCopied.push_back(i);
        else if (static_cast<std::size_t>(b.copyFrom[i]) != i) b.linedUp = false;
    }
    for (const Reference& r : step.references)
        b.references.push_back({position(source, r.column), position(target, r.column), r.map, r.tested});
    b.sourceKey = position(source, step.ownKey);
    b.targetKey = position(target, step.ownKey);
    b.targetSetTrue = position(target, step.setTrue);
    // The columns the plan writes itself are never emptied for want of room.
    b.offered.resize(target.size());
    for (std::size_t i = 0; i < target.size(); ++i) b.offered[i] = b.copyFrom[i] >= 0;
    for (int written : {b.targetKey, b.targetSetTrue})
        if (written >= 0) b.offered[written] = false;
    for (const Binding::Ref& r : b.references)
        if (r.target >= 0) b.offered[r.target] = false;
    b.sourceFilter = position(source, step.filterColumn);
    b.sourceIdentifier = position(source, step.identifier);
    return b;
}

const jet::Value kNull;

const jet::Value& at(const std::vector<jet::Value>& row, int i) {
    return i >= 0 && static_cast<std::size_t>(i) < row.size() ? row[i] : kNull;
}

// A numeric comparison as the engine makes it: Null compares false.
bool passesFilter(const Step& step, const jet::Value& value) {
    double number;
    if (auto* i = std::get_if<std::int64_t>(&value)) number = static_cast<double>(*i);
    else if (auto* d = std::get_if<double>(&value)) number = *d;
    else if (auto* f = std::get_if<float>(&value)) number = *f;
    else return false;
    return std::none_of(step.filterExcluded.begin(), step.filterExcluded.end(),
                        [&](std::int64_t excluded) { return number == static_cast<double>(excluded); });
}

// The lookup results of a row's references, or false when a tested one does
// not map. An untested Null is marked to stay Null.
struct Lookup {
    std::int32_t newKey = 0;
    bool keepNull = false;
};

bool lookUp(const Binding& b, const std::vector<jet::Value>& row, const KeyMaps& maps, std::vector<Lookup>* out) {
    bool accepted = true;
    for (std::size_t i = 0; i < b.references.size(); ++i) {
        const Binding::Ref& ref = b.references[i];
        const jet::Value& value = at(row, ref.source);
        std::int32_t oldKey = 0;
        bool whole = toInt32(value, &oldKey);
        Lookup& result = (*out)[i];
        result.keepNull = !ref.tested && jet::isNull(value);
        result.newKey = whole ? maps.lookup(ref.map, oldKey) : 0;
        if (ref.tested && result.newKey == 0) accepted = false;
    }
    return accepted;
}

// The target already holds this identifier text (letter case ignored).
bool targetHolds(Database& target, const Step& step, const jet::Value& identifier) {
    auto* text = std::get_if<std::u16string>(&identifier);
    if (!text) return false; // Null or no text: the target decides when the row is saved
    return !ZistiStringHodnotu(&target, ValueOf{step.table, ONT(step.identifier), *text}, "").empty();
}

// Moves the copied values from the source row into the new row or, once
// that is saved, the texts and bytes `back`: the next source row then
// decodes into their buffers instead of allocating its own. Rows that line
// up trade their vectors both ways.
void moveCopied(const Binding& b, std::vector<jet::Value>& source, std::vector<jet::Value>& row, bool back) {
    if (b.linedUp) {
        row.swap(source);
        if (!back)
            for (std::size_t i : b.notCopied) row[i] = jet::Value{};
        return;
    }
    for (std::size_t i = 0; i < row.size(); ++i) {
        int from = b.copyFrom[i];
        if (from < 0 || static_cast<std::size_t>(from) >= source.size()) continue;
        if (!back) row[i] = std::move(source[from]);
        else if (std::holds_alternative<std::u16string>(row[i]) || std::holds_alternative<jet::Bytes>(row[i]))
            source[from] = std::move(row[i]);
    }
}

void fillRow(const Binding& b, std::vector<jet::Value>& source, const std::vector<Lookup>& lookups,
             std::vector<jet::Value>& row) {
    moveCopied(b, source, row, false);
    if (b.targetSetTrue >= 0) row[b.targetSetTrue] = true;
    for (std::size_t i = 0; i < b.references.size(); ++i) {
        int target = b.references[i].target;
        if (target >= 0 && !lookups[i].keepNull) row[target] = std::int64_t{lookups[i].newKey};
    }
}

} // namespace

bool NextKey::take(std::int32_t* key) {
    if (next_ == 0) ++next_;
    if (next_ > std::numeric_limits<std::int32_t>::max()) return false;
    *key = static_cast<std::int32_t>(next_++);
    return true;
}

NextKey firstNewKey(Database& target, const Step& step) {
    std::string text = ZistiStringHodnotu(&target, MaxOf{step.table, ONT(step.ownKey)}, "0");
    std::int64_t highest = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), highest);
    if (error != std::errc() || end != text.data() + text.size()) highest = 0;
    return NextKey(std::clamp<std::int64_t>(highest, std::numeric_limits<std::int32_t>::min(),
                                            std::numeric_limits<std::int32_t>::max()));
}

namespace {

// One step under way: its two recordsets, its bindings and its next key.
struct StepRun {
    const Step& step;
    Database& target;
    KeyMaps& maps;
    StepCounts& counts;
    Recordset& to;
    Binding b;
    NextKey nextKey;
    std::vector<Lookup> lookups;
    std::vector<std::size_t> emptiedNow; // target fields the current row lost
    std::vector<int> emptied;            // per target field: values lost in saved rows

    bool leftOut(const std::vector<jet::Value>& row) {
        return (b.sourceFilter >= 0 && !passesFilter(step, at(row, b.sourceFilter))) ||
               !lookUp(b, row, maps, &lookups) ||
               (b.sourceIdentifier >= 0 && targetHolds(target, step, at(row, b.sourceIdentifier)));
    }

    jet::Status copyRow(std::vector<jet::Value>& row) {
        if (leftOut(row)) {
            ++counts.skipped;
            return jet::Status::OK();
        }
        std::int32_t newKey = 0;
        if (!step.ownKey.empty() && !nextKey.take(&newKey)) {
            ++counts.refused; // no key left below the largest 32-bit integer
            return jet::Status::OK();
        }
        std::int32_t oldKey = 0;
        bool mapped = step.fills != MapKind::None && toInt32(at(row, b.sourceKey), &oldKey);
        std::vector<jet::Value>& out = to.addNew();
        fillRow(b, row, lookups, out);
        if (!step.ownKey.empty() && b.targetKey >= 0) out[b.targetKey] = std::int64_t{newKey};

        // A copied value its target column cannot hold leaves the field
        // empty, as the new row had it, and the row is saved without it.
        jet::Status saved = to.save(b.offered, &emptiedNow);
        moveCopied(b, row, out, true);
        if (saved.code() == jet::Status::Code::Refused) {
            ++counts.refused; // its key number stays used, but nothing maps to it
            return jet::Status::OK();
        }
        JET_TRY(saved);
        ++counts.copied;
        for (std::size_t i : emptiedNow) ++emptied[i];
        if (mapped) maps.record(step.fills, oldKey, newKey);
        return jet::Status::OK();
    }
};

// The columns of the source table that the step reads besides the copied
// ones, as "chýba stĺpec …" when some are missing; empty when none is.
std::string missingColumns(const Step& step, const std::vector<Field>& source) {
    std::vector<std::string_view> needed = {step.filterColumn, step.identifier};
    if (step.fills != MapKind::None) needed.push_back(step.ownKey);
    for (const Reference& r : step.references) needed.push_back(r.column);
    std::string missing;
    int count = 0;
    for (std::string_view column : needed) {
        if (column.empty() || position(source, column) >= 0) continue;
        missing += (count++ ? ", " : "") + std::string(ONT(column));
    }
    if (count == 0) return {};
    return (count == 1 ? "chýba stĺpec " : "chýbajú stĺpce ") + missing;
}

} // namespace

jet::Status copyTable(const Step& step, Database& source, Database& target, KeyMaps& maps, StepCounts* counts) {
    std::unique_ptr<Recordset> from, to;
    jet::Status opened = source.openRecordset(step.table, &from);
    if (opened.code() == jet::Status::Code::NotFound) {
        counts->unread = "tabuľka chýba";
        return jet::Status::OK();
    }
    JET_TRY(opened);
    counts->unread = missingColumns(step, from->fields());
    if (!counts->unread.empty()) return jet::Status::OK();
    JET_TRY(target.openRecordset(step.table, &to));
    Binding b = bind(step, from->fields(), to->fields());
    // Sized once for every source row: nothing grows while the rows go.
    const std::size_t rows = std::min(from->rowCount(), kMostRowsSizedAhead);
    to->expect(rows);
    maps.reserve(step.fills, rows);
    NextKey nextKey = step.ownKey.empty() ? NextKey(0) : firstNewKey(target, step);
    StepRun run{step, target, maps, *counts, *to, std::move(b), nextKey, {}, {}, {}};
    run.lookups.resize(run.b.references.size());
    run.emptied.resize(to->fields().size());
    while (!from->eof()) {
        JET_TRY(run.copyRow(from->values()));
        JET_TRY(from->moveNext());
    }
    for (std::size_t i = 0; i < run.emptied.size(); ++i)
        if (run.emptied[i] > 0) counts->emptied.push_back({to->fields()[i].name, run.emptied[i]});
    return jet::Status::OK();
}

} // namespace merge
