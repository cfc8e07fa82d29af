// Source and target databases in memory with the tables of the import plan,
// and helpers to put rows in by column name and read columns back.
#pragma once

#include <utility>

#include "memory_db.h"
#include "merge/plan.h"
#include "schema/catalogue.h"

namespace merge::testing {

inline jet::Value I(std::int64_t n) { return n; }
inline jet::Value T(const char* utf8) { return jet::fromUtf8(utf8); }
const jet::Value Null{};

using Cells = std::vector<std::pair<std::string, jet::Value>>;

inline void addPlanTables(MemoryDatabase& db) {
    for (const schema::TableInfo& table : schema::tables()) {
        if (table.step == 0) continue;
        MemTable& t = db.tables[std::string(table.name)];
        for (auto column : table.columns) {
            bool text = column.find("identifikator") != std::string_view::npos;
            t.fields.push_back({std::string(column), text ? jet::ColumnType::Text : jet::ColumnType::Long, false});
        }
    }
    db.properties["TABLES_VERSION"] = "Tarvexon 3.162";
}

inline MemTable& table(MemoryDatabase& db, std::string_view name) { return db.tables.at(std::string(name)); }

inline void insert(MemoryDatabase& db, std::string_view name, const Cells& cells) {
    MemTable& t = table(db, name);
    Row row(t.fields.size());
    for (const auto& [column, value] : cells) {
        int i = fieldIndex(t.fields, column);
        if (i < 0) throw std::runtime_error("no column " + column);
        row[i] = value;
    }
    t.rows.push_back(row);
}

inline std::vector<jet::Value> column(MemoryDatabase& db, std::string_view name, std::string_view col) {
    MemTable& t = table(db, name);
    int i = fieldIndex(t.fields, col);
    std::vector<jet::Value> out;
    for (const Row& row : t.rows) out.push_back(row.at(i));
    return out;
}

inline const Step& stepOf(std::string_view name) {
    for (const Step& step : importPlan())
        if (step.table == name) return step;
    throw std::runtime_error("no step");
}

struct PlanFixture {
    MemoryDatabase source, target;
    KeyMaps maps;
    PlanFixture() {
        addPlanTables(source);
        addPlanTables(target);
    }
};

} // namespace merge::testing
