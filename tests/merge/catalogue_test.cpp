// The server layout as the catalogue and the import plan name it.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <span>
#include <sstream>
#include <vector>

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

// A table of the fixture files: its columns and its primary key, bare
// names in lower case.
struct Layout {
    std::set<std::string> columns;
    std::vector<std::string> key;
};

std::map<std::string, Layout> fixtureLayout() {
    std::ifstream in(std::string(VELMORANT_TEST_DATA) + "/schema.txt");
    std::map<std::string, Layout> layout;
    std::string line, current;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string kind, name;
        words >> kind >> name;
        name = lower(name);
        if (kind == "table") current = name, layout[current];
        else if (kind == "col") layout[current].columns.insert(name);
        else if (kind == "pk")
            for (std::istringstream keys(name); std::getline(keys, name, ',');) layout[current].key.push_back(name);
    }
    return layout;
}

// The bare names of qualified columns, each checked to belong to `table`.
std::vector<std::string> bareNames(std::string_view table, std::span<const std::string_view> qualified) {
    std::vector<std::string> bare;
    for (std::string_view q : qualified) {
        EXPECT_EQ(q.substr(0, q.rfind('.')), table) << q;
        bare.push_back(lower(ONT(q)));
    }
    return bare;
}

// The catalogue describes the fixture's tables: every column once, the
// primary key in index order; the plan names only columns of its steps'
// tables, and its steps come in the catalogue's step order, every step once.
TEST(Catalogue, MatchesTheServerLayoutAndThePlan) {
    auto layout = fixtureLayout();
    ASSERT_EQ(layout.size(), 48u);
    ASSERT_EQ(schema::tables().size(), layout.size());
    const auto& plan = importPlan();
    std::set<std::string> described;
    std::vector<std::string_view> byStep(plan.size());
    for (const schema::TableInfo& table : schema::tables()) {
        const std::string name(table.name);
        ASSERT_TRUE(layout.count(name)) << name;
        described.insert(name);
        std::vector<std::string> columns = bareNames(table.name, table.columns);
        EXPECT_EQ(columns.size(), layout[name].columns.size()) << name;
        EXPECT_EQ(std::set<std::string>(columns.begin(), columns.end()), layout[name].columns) << name;
        EXPECT_EQ(bareNames(table.name, table.uniqueKey), layout[name].key) << name;
        if (table.step != schema::kNotImported) byStep.at(table.step - 1) = table.name;
    }
    EXPECT_EQ(described.size(), layout.size());
    for (std::size_t i = 0; i < plan.size(); ++i) EXPECT_EQ(byStep[i], plan[i].table) << "step " << i + 1;
    for (const Step& step : plan) {
        std::vector<std::string_view> named;
        for (std::string_view q : {step.ownKey, step.setTrue, step.filterColumn, step.identifier})
            if (!q.empty()) named.push_back(q);
        for (const Reference& r : step.references) named.push_back(r.column);
        for (const std::string& column : bareNames(step.table, named))
            EXPECT_TRUE(layout[std::string(step.table)].columns.count(column)) << step.table << "." << column;
    }
}

} // namespace
} // namespace merge
