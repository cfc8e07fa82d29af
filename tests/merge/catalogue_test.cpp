// The server layout as the catalogue and the import plan name it.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "merge/names.h"
#include "merge/plan.h"
#include "schema/catalogue.h"

namespace merge {
namespace {

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
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
        name = lower(name);
        if (kind == "table") current = name, layout[current];
        else if (kind == "col") layout[current].insert(name);
    }
    return layout;
}

// The catalogue names the fixture's tables and columns; the plan names only
// columns of its steps' tables, and its steps come in the catalogue's step
// order, every step once.
TEST(Catalogue, MatchesTheServerLayoutAndThePlan) {
    auto layout = fixtureLayout();
    ASSERT_EQ(layout.size(), 48u);
    ASSERT_EQ(schema::tables().size(), 48u);
    const auto& plan = importPlan();
    std::vector<std::string_view> byStep(plan.size());
    for (const schema::TableInfo& table : schema::tables()) {
        ASSERT_TRUE(layout.count(std::string(table.name))) << table.name;
        std::set<std::string> columns;
        for (auto c : table.columns) columns.insert(lower(c));
        EXPECT_EQ(columns, layout[std::string(table.name)]) << table.name;
        if (table.step > 0) byStep.at(table.step - 1) = table.name;
    }
    for (std::size_t i = 0; i < plan.size(); ++i) EXPECT_EQ(byStep[i], plan[i].table) << "step " << i + 1;
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
