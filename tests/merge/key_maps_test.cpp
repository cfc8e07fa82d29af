#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "merge/key_maps.h"
#include "merge/names.h"
#include "merge/plan.h"
#include "schema/catalogue.h"

namespace merge {
namespace {

// Thousands of keys, negative ones, runs and repeats: the index grows many
// times and must still answer as a walk from the first entry would. That
// every kind has a map of its own and a run starts from empty maps is
// pinned by the whole-merge tests, which start from maps left by a run.
TEST(KeyMaps, LargeMapsAgreeWithAWalkFromTheFirstEntry) {
    KeyMaps maps;
    std::map<std::int32_t, std::int32_t> first;
    std::uint32_t state = 12345;
    for (std::int32_t n = 1; n <= 20000; ++n) {
        state = state * 1103515245u + 12345u;
        const std::int32_t oldKey = n % 3 == 0 ? static_cast<std::int32_t>(state) : n % 5000 - 2500;
        maps.colRefSkupina.append({oldKey, n});
        first.try_emplace(oldKey, n);
    }
    for (const auto& [oldKey, newKey] : first) ASSERT_EQ(maps.MapSkupina(oldKey), newKey) << oldKey;
    for (std::int32_t missing : {2500, 2501, 1000000, INT32_MIN})
        if (!first.count(missing)) EXPECT_EQ(maps.MapSkupina(missing), 0) << missing;
    maps.clear();
    EXPECT_EQ(maps.MapSkupina(first.begin()->first), 0);
    maps.colRefSkupina.append({7, 70});
    EXPECT_EQ(maps.MapSkupina(7), 70);
}

TEST(Names, OntTakesThePartAfterTheLastDot) {
    EXPECT_EQ(ONT("zariadenia.id_zariadenia"), "id_zariadenia");
    EXPECT_EQ(ONT("zariadenia"), "zariadenia");
    EXPECT_EQ(ONT("a.b.c"), "c");
    EXPECT_EQ(ONT("zariadenia."), "");
    EXPECT_EQ(ONT(""), "");
}

// The tables and columns of the fixture files, bare names in lower case.
std::map<std::string, std::set<std::string>> fixtureLayout() {
    std::ifstream in(std::string(VELMORANT_TEST_DATA) + "/schema.txt");
    std::map<std::string, std::set<std::string>> layout;
    std::string line, current;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string kind, name;
        words >> kind >> name;
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (kind == "table") current = name, layout[current];
        else if (kind == "col") layout[current].insert(name);
    }
    return layout;
}

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

TEST(Catalogue, MatchesTheServerLayout) {
    auto layout = fixtureLayout();
    ASSERT_EQ(layout.size(), 48u);
    ASSERT_EQ(schema::tables().size(), 48u);
    for (const schema::TableInfo& table : schema::tables()) {
        ASSERT_TRUE(layout.count(std::string(table.name))) << table.name;
        std::set<std::string> columns;
        for (auto c : table.columns) columns.insert(lower(c));
        EXPECT_EQ(columns, layout[std::string(table.name)]) << table.name;
    }
}

// Every column the plan names belongs to its step's table, and the steps
// come in the catalogue's step order.
TEST(Catalogue, PlanNamesOnlyColumnsOfItsTables) {
    auto layout = fixtureLayout();
    const auto& plan = importPlan();
    ASSERT_EQ(plan.size(), 27u);
    for (const schema::TableInfo& table : schema::tables())
        if (table.step > 0) EXPECT_EQ(plan[table.step - 1].table, table.name);
    for (const Step& step : plan) {
        const auto& columns = layout[std::string(step.table)];
        std::vector<std::string_view> named = {step.ownKey, step.setTrue, step.filterColumn, step.identifier};
        for (const Reference& r : step.references) named.push_back(r.column);
        for (std::string_view q : named) {
            if (q.empty()) continue;
            EXPECT_EQ(q.substr(0, q.rfind('.')), step.table) << q;
            EXPECT_TRUE(columns.count(std::string(ONT(q)))) << q;
        }
    }
}

} // namespace
} // namespace merge
