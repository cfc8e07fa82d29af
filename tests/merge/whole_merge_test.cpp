// Whole merges of server database files (generated ones and the fixture),
// each checked table by table against rows worked out here from the dumps of
// the two inputs: what the import plan copies, renumbers, rewrites and leaves
// out, and what the target's keys refuse. The merged file also verifies
// clean and an independent reader counts the same rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <limits>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <tuple>

#include "support/merge_fixture.h"
#include "jet/text.h"
#include "support/process.h"
#include "merge/import_run.h"

namespace merge {
namespace {

using json = nlohmann::json;
using testing::ScratchDir;
namespace fs = std::filesystem;

using test_files::cli;
using test_files::ProgramRun;
using test_files::quoted;

std::string dumpText(const fs::path& file) {
    ProgramRun out = cli("dump " + quoted(file));
    EXPECT_EQ(out.exit, 0) << file << ": " << out.err;
    return out.out;
}
json dumpOf(const fs::path& file) { return json::parse(dumpText(file), nullptr, false); }

// The unique keys of every table, from the fixture's layout description:
// the primary key and every index marked unique.
std::map<std::string, std::vector<std::vector<std::string>>> uniqueKeys() {
    std::map<std::string, std::vector<std::vector<std::string>>> keys;
    std::ifstream in(fs::path(VELMORANT_TEST_DATA) / "schema.txt");
    std::string line, table;
    auto split = [](const std::string& list) {
        std::vector<std::string> out;
        std::stringstream s(list);
        for (std::string c; std::getline(s, c, ',');) out.push_back(c);
        return out;
    };
    while (std::getline(in, line)) {
        std::stringstream words(line);
        std::string kind, a, b, c;
        words >> kind >> a >> b >> c;
        if (kind == "table") table = a;
        if (kind == "pk") keys[table].push_back(split(a));
        if (kind == "index" && c == "unique") keys[table].push_back(split(b));
    }
    return keys;
}

// Key texts compare as the engine's keys do: letter case ignored. The
// generated key texts are ASCII.
std::string keyPart(const json& v) {
    if (!v.is_string()) return v.dump();
    std::string s = v.get<std::string>();
    for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return json(s).dump();
}

struct TableRows {
    std::vector<std::string> columns;
    std::vector<std::string> types;
    std::vector<json> rows;
    int at(const std::string& name) const {
        for (std::size_t i = 0; i < columns.size(); ++i)
            if (columns[i] == name) return static_cast<int>(i);
        ADD_FAILURE() << "no column " << name;
        return 0;
    }
};

TableRows tableOf(const json& dump, const std::string& name) {
    TableRows t;
    const json& table = dump.at("tables").at(name);
    for (const json& c : table.at("columns")) {
        t.columns.push_back(c.at("name"));
        t.types.push_back(c.at("type"));
    }
    for (const json& r : table.at("rows")) t.rows.push_back(r);
    return t;
}

// A reference rewritten through a map; an untested one keeps a Null and
// takes 0 for a key the map lacks.
struct Ref {
    const char* column;
    const char* map;
    bool tested = true;
};

struct PlanStep {
    const char* table;
    const char* ownKey = nullptr; // renumbered above the target's highest
    const char* fills = nullptr;  // the map recording old and new own keys
    std::vector<Ref> refs;
};

// The import plan, in its order.
const std::vector<PlanStep>& plan() {
    const std::vector<Ref> device = {{"id_zariadenia", "zariadenia"}};
    static const std::vector<PlanStep> steps = {
        {"zariadenia", "id_zariadenia", "zariadenia", {}},
        {"parametre_zariadeni", nullptr, nullptr, device},
        {"casove_zony_zariadeni", nullptr, nullptr, device},
        {"skupiny_majitelov_identifikatorov", "id_skupiny", "skupiny", {}},
        {"zvuky", "id_zvuku", "zvuky", {}},
        {"identifikatory", nullptr, nullptr, {}},
        {"pozadovane_identifikatory_v_skupinach", nullptr, nullptr, {{"id_skupiny", "skupiny"}}},
        {"pozadovane_identifikatory_priamo_na_zariadeniach", nullptr, nullptr, device},
        {"dialkove_otvorenie_vyvolane_pouzitim_identifikatora",
         nullptr,
         nullptr,
         {{"id_zariadenia_na_otvorenie", "zariadenia"}, {"id_zariadenia_vyvolajuce", "zariadenia"}}},
        {"dialkove_ovladanie_zariadeni", "id_dialkoveho_ovladania", nullptr, device},
        {"hlasove_vyzvy", nullptr, nullptr, {{"id_zariadenia", "zariadenia", false}, {"id_zvuku", "zvuky"}}},
        {"mek_schranky", nullptr, nullptr, device},
        {"obchodzky", "id", "obchodzky", {{"id_skupiny_obchodzkarov", "skupiny"}}},
        {"objednavaci_system", "id_objednavky", "objednavky", {}},
        {"pozadovane_casove_zony_identifikatorov_na_zariadeniach", nullptr, nullptr, device},
        {"pozadovane_identifikatory_vo_vytahoch", nullptr, nullptr, device},
        {"pozadovane_releidentifikatory_na_zariadeniach", nullptr, nullptr, device},
        {"ref_obchodzky_zariadenia", nullptr, nullptr, {device[0], {"id_obchodzky", "obchodzky", false}}},
        {"ref_objednavaci_system_identifikator", nullptr, nullptr, {{"id_objednavky", "objednavky"}}},
        {"ref_objednavaci_system_zariadenie", nullptr, nullptr, {device[0], {"id_objednavky", "objednavky"}}},
        {"ref_skupina_zariadenie", nullptr, nullptr, {device[0], {"id_skupiny", "skupiny"}}},
        {"downloadovane_casove_zony", nullptr, nullptr, device},
        {"downloadovane_casove_zony_identifikatorov_na_zariadeniach", nullptr, nullptr, device},
        {"downloadovane_identifikatory", nullptr, nullptr, device},
        {"downloadovane_identifikatory_vo_vytahoch", nullptr, nullptr, device},
        {"downloadovane_parametre_zariadeni", nullptr, nullptr, device},
        {"downloadovane_releidentifikatory", nullptr, nullptr, device},
    };
    return steps;
}

struct Counts {
    int copied = 0, skipped = 0, refused = 0;
};

// The merged file as the plan prescribes it, worked out from the two dumps.
class Oracle {
public:
    Oracle(const json& target, const json& source) : target_(target), source_(source), keys_(uniqueKeys()) {
        for (auto& [name, table] : target.at("tables").items()) result_[name] = tableOf(target, name);
        for (const PlanStep& step : plan()) runStep(step);
    }
    const TableRows& table(const std::string& name) const { return result_.at(name); }
    const Counts& counts(const std::string& table) const { return counts_.at(table); }
    // "table.column: count" per column that lost values, in step and column order.
    const std::vector<std::string>& emptied() const { return emptiedLines_; }
    // Old and new keys in the order the map took them.
    const testing::MapEntries& entries(const std::string& map) const {
        static const testing::MapEntries none;
        auto it = entries_.find(map);
        return it == entries_.end() ? none : it->second;
    }

private:
    std::int64_t lookup(const std::string& map, std::int64_t old) const {
        for (const auto& [from, to] : entries(map))
            if (from == old) return to;
        return 0;
    }
    static std::int64_t highest(const TableRows& t, int column) {
        std::int64_t max = 0;
        bool any = false;
        for (const json& r : t.rows)
            if (r[column].is_number_integer()) {
                max = any ? std::max(max, r[column].get<std::int64_t>()) : r[column].get<std::int64_t>();
                any = true;
            }
        return max;
    }

    // Whether the target's unique keys take the row (a key column is never Null).
    bool fits(const std::string& table, const TableRows& t, const json& row) const {
        auto it = keys_.find(table);
        if (it == keys_.end()) return true;
        for (const auto& key : it->second) {
            auto keyOf = [&](const json& r) {
                std::string k;
                for (const std::string& c : key) k += keyPart(r[t.at(c)]) + "|";
                return k;
            };
            for (const std::string& c : key)
                if (row[t.at(c)].is_null()) return false;
            const std::string mine = keyOf(row);
            for (const json& r : t.rows)
                if (keyOf(r) == mine) return false;
        }
        return true;
    }

    // Whether a column of this dump type holds the value.
    static bool holds(const std::string& type, const json& v) {
        if (v.is_null()) return true;
        if (type.rfind("text(", 0) == 0)
            return jet::fromUtf8(v.get<std::string>()).size() <= std::stoul(type.substr(5));
        const std::map<std::string, std::pair<std::int64_t, std::int64_t>> ranges = {
            {"byte", {0, 255}}, {"int", {-32768, 32767}}, {"long", {INT32_MIN, INT32_MAX}}};
        auto range = ranges.find(type);
        return range == ranges.end() || (v >= range->second.first && v <= range->second.second);
    }

    // Why the plan leaves the row out, or the row to append; *lost gets the
    // columns emptied because they cannot hold the copied value.
    std::optional<json> rowFor(const PlanStep& step, const TableRows& from, const TableRows& to, const json& row,
                               std::vector<int>* lost) {
        const std::string name = step.table;
        if (name == "zariadenia") {
            const json& type = row[from.at("typ_zariadenia")];
            if (!type.is_number_integer() || type == 0 || type == 10 || type == 12) return std::nullopt;
        }
        if (name == "identifikatory") {
            const std::string mine = keyPart(row[from.at("identifikator")]);
            for (const json& r : to.rows)
                if (keyPart(r[to.at("identifikator")]) == mine) return std::nullopt;
        }
        json out = json::array();
        for (std::size_t i = 0; i < to.columns.size(); ++i) out.push_back(row[from.at(to.columns[i])]);
        std::vector<bool> written(to.columns.size()); // by the plan or the engine, never emptied
        for (const Ref& ref : step.refs) {
            written[to.at(ref.column)] = true;
            const json& old = row[from.at(ref.column)];
            std::int64_t now = old.is_number_integer() ? lookup(ref.map, old.get<std::int64_t>()) : 0;
            if (ref.tested && now == 0) return std::nullopt;
            if (!(!ref.tested && old.is_null())) out[to.at(ref.column)] = now;
        }
        if (name == "zariadenia") written[to.at("flag_offline")] = out[to.at("flag_offline")] = true;
        if (step.ownKey) written[to.at(step.ownKey)] = true;
        lost->clear();
        for (std::size_t i = 0; i < to.columns.size(); ++i) {
            if (to.types[i] == "autonum") out[i] = ++autoNumber_[name];
            else if (!written[i] && !holds(to.types[i], out[i])) {
                out[i] = nullptr;
                lost->push_back(static_cast<int>(i));
            }
        }
        return out;
    }

    void runStep(const PlanStep& step) {
        const std::string name = step.table;
        const TableRows from = tableOf(source_, name);
        TableRows& to = result_.at(name);
        Counts& counts = counts_[name];
        for (std::size_t i = 0; i < to.columns.size(); ++i)
            if (to.types[i] == "autonum") autoNumber_[name] = highest(to, static_cast<int>(i));
        std::int64_t next = step.ownKey ? highest(to, to.at(step.ownKey)) + 1 : 0;
        std::vector<int> lost, emptied(to.columns.size());
        for (const json& row : from.rows) {
            std::optional<json> out = rowFor(step, from, to, row, &lost);
            if (!out) {
                ++counts.skipped;
                continue;
            }
            std::int64_t key = 0;
            if (step.ownKey) {
                key = next++;
                (*out)[to.at(step.ownKey)] = key;
            }
            if (key > std::numeric_limits<std::int32_t>::max() || !fits(name, to, *out)) {
                ++counts.refused;
                continue;
            }
            to.rows.push_back(*out);
            ++counts.copied;
            for (int i : lost) ++emptied[i];
            const json& old = step.ownKey ? row[from.at(step.ownKey)] : json();
            if (step.fills && old.is_number_integer()) entries_[step.fills].emplace_back(old.get<std::int64_t>(), key);
        }
        for (std::size_t i = 0; i < emptied.size(); ++i)
            if (emptied[i]) emptiedLines_.push_back(name + "." + to.columns[i] + ": " + std::to_string(emptied[i]));
    }

    const json& target_;
    const json& source_;
    std::map<std::string, std::vector<std::vector<std::string>>> keys_;
    std::map<std::string, TableRows> result_;
    std::map<std::string, Counts> counts_;
    std::map<std::string, testing::MapEntries> entries_;
    std::map<std::string, std::int64_t> autoNumber_;
    std::vector<std::string> emptiedLines_;
};

// Compares two tables' rows, naming the first rows that differ.
void expectSameRows(const std::string& table, const std::vector<json>& got, const std::vector<json>& want) {
    EXPECT_EQ(got.size(), want.size()) << table;
    int shown = 0;
    for (std::size_t i = 0; i < std::min(got.size(), want.size()) && shown < 3; ++i)
        if (got[i] != want[i]) {
            ADD_FAILURE() << table << " row " << i << "\n merged:   " << got[i].dump()
                          << "\n expected: " << want[i].dump();
            ++shown;
        }
}

// The JSON object of a trial run holds the counts and the outcome of the
// real run.
void expectSameAsTrial(const ProgramRun& trial, const ImportResult& result) {
    const json got = json::parse(trial.out, nullptr, false);
    ASSERT_TRUE(got.is_object()) << trial.out << trial.err;
    json steps = json::array(), emptied = json::array(), unreadable = json::array();
    for (const StepCounts& s : result.steps) {
        steps.push_back({{"table", s.table}, {"copied", s.copied}, {"skipped", s.skipped}, {"refused", s.refused}});
        for (const auto& [column, count] : s.emptied)
            emptied.push_back({{"table", s.table}, {"column", column}, {"count", count}});
        if (!s.unread.empty()) unreadable.push_back({{"table", s.table}, {"reason", s.unread}});
    }
    std::string outcome = result.outcome;
    std::erase(outcome, '\r'); // lines end in a terminal's way
    EXPECT_EQ(got, json({{"dryRun", true},
                         {"steps", steps},
                         {"emptied", emptied},
                         {"unreadable", unreadable},
                         {"outcome", outcome},
                         {"succeeded", result.succeeded}}));
    EXPECT_EQ(trial.exit, result.succeeded ? 0 : 1);
}

class WholeMerge : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(test_files::cliPath())) GTEST_SKIP() << "velmorant-cli not built";
    }
    fs::path generated(const std::string& name, int seed, const std::string& more = "") {
        fs::path out = dir / name;
        ProgramRun made = cli("generate " + quoted(out) + " --seed " + std::to_string(seed) + " --scale 1 " + more);
        EXPECT_EQ(made.exit, 0) << made.err;
        return out;
    }
    fs::path fixture(const std::string& name, const std::string& as) {
        fs::copy_file(test_files::testData(name), dir / as);
        return dir / as;
    }

    // Merges a copy of `target` with `source` and checks the result against
    // the oracle, which it returns.
    std::unique_ptr<Oracle> merge(const fs::path& target, const fs::path& source);

    ScratchDir dir;
};

std::unique_ptr<Oracle> WholeMerge::merge(const fs::path& target, const fs::path& source) {
    const fs::path merged = dir / "spojeny.mdb";
    fs::copy_file(target, merged);
    const json before = dumpOf(target), from = dumpOf(source);
    auto oracle = std::make_unique<Oracle>(before, from);

    // The maps of an earlier run in the same window, pointing every old key
    // elsewhere: the run must not read them.
    KeyMaps maps;
    for (std::int32_t old = -5; old < 3000; ++old) {
        maps.colRefZariadenie.append({old, 999999});
        maps.colRefSkupina.append({old, 999999});
        maps.colRefZvuk.append({old, 999999});
        maps.colRefObchodzka.append({old, 999999});
        maps.colRefObjednavka.append({old, 999999});
    }
    // A trial run from the command line first: it leaves the target as it
    // was, and its counts are the real run's.
    const std::vector<std::uint8_t> bytes = test_files::readAll(merged);
    ProgramRun trial = cli("merge " + quoted(merged) + " " + quoted(source) + " --dry-run --json");
    EXPECT_EQ(test_files::readAll(merged), bytes);

    testing::RecordingUi ui;
    ImportResult result = ImportDatabase(merged.string(), source.string(), maps, ui);
    const json after = dumpOf(merged);
    expectSameAsTrial(trial, result);

    // Step counts and the outcome the refusals call for.
    std::string refusals, emptied;
    EXPECT_EQ(result.steps.size(), plan().size()) << result.outcome;
    for (std::size_t i = 0; i < std::min(plan().size(), result.steps.size()); ++i) {
        const StepCounts& got = result.steps[i];
        const Counts& want = oracle->counts(plan()[i].table);
        EXPECT_EQ(got.table, plan()[i].table);
        EXPECT_EQ(std::make_tuple(got.copied, got.skipped, got.refused),
                  std::make_tuple(want.copied, want.skipped, want.refused))
            << got.table << " (copied, skipped, refused)";
        if (want.refused) refusals += "\r\n" + got.table + ": " + std::to_string(want.refused);
    }
    for (const std::string& line : oracle->emptied()) emptied += "\r\n" + line;
    std::string outcome = kOutcomeSuccess;
    if (!refusals.empty()) outcome = "Import bol dokončený, ale cieľový súbor odmietol niektoré riadky:" + refusals;
    if (!emptied.empty())
        outcome = (refusals.empty() ? "Import bol dokončený, ale cieľový súbor neprijal niektoré hodnoty; "
                                    : outcome + "\r\nCieľový súbor neprijal niektoré hodnoty; ") +
                  "tieto polia zostali prázdne:" + emptied;
    EXPECT_EQ(result.outcome, outcome);
    EXPECT_EQ(result.outcomeFlags, outcome == kOutcomeSuccess ? mb::Information : mb::Exclamation);

    // The five maps, entry by entry in the order they were made.
    EXPECT_EQ(testing::entriesOf(maps.colRefZariadenie), oracle->entries("zariadenia"));
    EXPECT_EQ(testing::entriesOf(maps.colRefSkupina), oracle->entries("skupiny"));
    EXPECT_EQ(testing::entriesOf(maps.colRefZvuk), oracle->entries("zvuky"));
    EXPECT_EQ(testing::entriesOf(maps.colRefObchodzka), oracle->entries("obchodzky"));
    EXPECT_EQ(testing::entriesOf(maps.colRefObjednavka), oracle->entries("objednavky"));

    // Every table: the target's rows in place, then the copied ones; the
    // tables outside the plan as they were.
    EXPECT_EQ(after.at("properties"), before.at("properties"));
    EXPECT_EQ(after.at("tables").size(), before.at("tables").size());
    for (auto& [name, table] : after.at("tables").items()) {
        EXPECT_EQ(table.at("columns"), before.at("tables").at(name).at("columns")) << name;
        const std::vector<json> got(table.at("rows").begin(), table.at("rows").end());
        expectSameRows(name, got, oracle->table(name).rows);
    }

    ProgramRun check = cli("check " + quoted(merged));
    EXPECT_EQ(check.exit, 0) << check.out << check.err;
    EXPECT_EQ(check.out.rfind("OK", 0), 0u) << check.out;

    if (!test_files::haveMdbExport()) {
        std::printf("mdb-export is not installed: the independent row count is left out\n");
        return oracle;
    }
    for (auto& [name, table] : after.at("tables").items()) {
        EXPECT_EQ(test_files::mdbExport(merged, name).size(), oracle->table(name).rows.size()) << name;
    }
    return oracle;
}

std::uint64_t fnv1a(const std::string& text) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char c : text) hash = (hash ^ c) * 0x100000001b3ull;
    return hash;
}

// Two generated files of one server's kind, the source holding a share of
// the target's identifiers: the scale-1 merge whose every row is pinned, so
// that work on the speed of the merge cannot change what it writes. The
// dumps' digests were recorded once; should the generator's rows change on
// purpose, record them again.
class MergeResultPin : public WholeMerge {};

TEST_F(MergeResultPin, GeneratedScaleOneMergeWritesTheRecordedRows) {
    fs::path target = generated("ciel.mdb", 1);
    fs::path source = generated("zdroj.mdb", 2, "--share-identifiers-with " + quoted(target));
    // The generator itself is pinned too, or a change there would pass for one here.
    ASSERT_EQ(fnv1a(dumpText(target)), 4860264562218907442ull);
    std::unique_ptr<Oracle> oracle = merge(target, source);
    for (const char* busy : {"zariadenia", "identifikatory", "hlasove_vyzvy", "obchodzky", "ref_obchodzky_zariadenia",
                             "downloadovane_releidentifikatory"}) {
        EXPECT_GT(oracle->counts(busy).copied, 0) << busy;
        EXPECT_GT(oracle->counts(busy).skipped, 0) << busy;
    }
    const std::string merged = dumpText(dir / "spojeny.mdb");
    EXPECT_EQ(merged.size(), 1122993u);
    EXPECT_EQ(fnv1a(merged), 15480728916530429407ull);
}

// A target whose three columns are narrower than some of the source's
// values: the rows copied are those a blank target takes, only the values
// that do not fit are left empty, and an independent reader sees the same.
TEST_F(WholeMerge, FixtureIntoNarrowerColumnsLosesOnlyTheValuesThatDoNotFit) {
    const fs::path source = fixture("sample.mdb", "zdroj.mdb");
    std::unique_ptr<Oracle> oracle = merge(fixture("narrow.mdb", "ciel.mdb"), source);
    const Oracle blank(dumpOf(fs::path(VELMORANT_TEST_DATA) / "blank.mdb"), dumpOf(source));
    for (const PlanStep& step : plan()) {
        const Counts &got = oracle->counts(step.table), &want = blank.counts(step.table);
        EXPECT_EQ(std::tie(got.copied, got.skipped, got.refused), std::tie(want.copied, want.skipped, want.refused))
            << step.table;
    }
    const std::pair<const char*, const char*> narrowed[] = {
        {"zariadenia", "kontaktna_osoba"}, {"identifikatory", "cislo_bytu"}, {"identifikatory", "poschodie"}};
    ASSERT_EQ(oracle->emptied().size(), std::size(narrowed));
    for (std::size_t i = 0; i < std::size(narrowed); ++i) {
        auto [table, column] = narrowed[i];
        EXPECT_EQ(oracle->emptied()[i].rfind(std::string(table) + "." + column + ": ", 0), 0u) << oracle->emptied()[i];
        if (!test_files::haveMdbExport()) continue;
        const TableRows& rows = oracle->table(table);
        const int at = rows.at(column);
        std::vector<std::string> want, got;
        for (const json& row : rows.rows)
            want.push_back(row[at].is_null() ? "~" : row[at].is_string() ? row[at].get<std::string>() : row[at].dump());
        for (const auto& fields : test_files::mdbExport(dir / "spojeny.mdb", table)) got.push_back(fields.at(at));
        std::sort(want.begin(), want.end());
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, want) << table << "." << column;
    }
}

} // namespace
} // namespace merge
