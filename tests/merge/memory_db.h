// A database held in memory, for testing the merge without files: tables
// with unique keys and AutoNumber columns, the two statements, and a
// transaction that can be rolled back.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "jet/text.h"
#include "merge/dao.h"

namespace merge::testing {

using Row = std::vector<jet::Value>;

struct MemTable {
    std::vector<Field> fields;
    std::vector<Row> rows;
    std::vector<std::vector<int>> uniqueKeys; // field positions of each unique index
    std::string cannotAppend;                 // reason canAppend gives; empty: can
    int engineFailureAtSave = -1;             // the save (counted from 0) at which the engine fails
    int saves = 0;
    std::int64_t lastAutoNumber = 0;
};

inline bool sameValue(const jet::Value& a, const jet::Value& b) {
    auto* ta = std::get_if<std::u16string>(&a);
    auto* tb = std::get_if<std::u16string>(&b);
    if (ta && tb) return jet::equalsIgnoreCase(*ta, *tb);
    return a == b;
}

class MemRecordset : public Recordset {
public:
    MemRecordset(MemTable* table, std::vector<Field> fields, std::vector<Row> rows)
        : table_(table), fields_(std::move(fields)), rows_(std::move(rows)) {}
    const std::vector<Field>& fields() const override { return fields_; }
    bool eof() const override { return pos_ >= rows_.size(); }
    const std::vector<jet::Value>& values() const override { return rows_[pos_]; }
    std::vector<jet::Value>& values() override { return rows_[pos_]; }
    jet::Status moveNext() override {
        ++pos_;
        return jet::Status::ok();
    }
    std::vector<jet::Value>& addNew() override {
        fresh_.assign(fields_.size(), jet::Value{});
        return fresh_;
    }
    jet::Status save() override {
        if (table_->saves++ == table_->engineFailureAtSave)
            return jet::Status::error(jet::Status::Code::IoError, "disk full");
        for (const auto& key : table_->uniqueKeys)
            for (const Row& row : table_->rows) {
                bool same = true;
                for (int c : key) same = same && sameValue(row[c], fresh_[c]);
                if (same) return jet::Status::error(jet::Status::Code::Refused, "duplicate");
            }
        for (std::size_t i = 0; i < fields_.size(); ++i)
            if (fields_[i].autoNumber) fresh_[i] = ++table_->lastAutoNumber;
        table_->rows.push_back(fresh_);
        return jet::Status::ok();
    }

private:
    MemTable* table_;
    std::vector<Field> fields_;
    std::vector<Row> rows_;
    std::size_t pos_ = 0;
    Row fresh_;
};

class MemoryDatabase : public Database {
public:
    std::map<std::string, MemTable> tables;
    std::map<std::string, std::string> properties;
    int statementsRun = 0;

    MemTable& add(const std::string& name, const std::vector<std::string>& columns) {
        MemTable& t = tables[name];
        for (const auto& c : columns) t.fields.push_back({c, jet::ColumnType::Long, false});
        return t;
    }

    jet::Status property(std::string_view name, std::string* value) override {
        auto it = properties.find(std::string(name));
        if (it == properties.end()) return jet::Status::error(jet::Status::Code::NotFound, "no property");
        *value = it->second;
        return jet::Status::ok();
    }
    jet::Status openRecordset(std::string_view name, std::unique_ptr<Recordset>* out) override {
        MemTable* t = find(name);
        if (!t) return jet::Status::error(jet::Status::Code::NotFound, "no table");
        *out = std::make_unique<MemRecordset>(t, t->fields, t->rows);
        return jet::Status::ok();
    }
    jet::Status openRecordset(const Statement& statement, std::unique_ptr<Recordset>* out) override {
        ++statementsRun;
        std::vector<Row> rows;
        if (auto* max = std::get_if<MaxOf>(&statement)) {
            MemTable* t = find(max->table);
            int c = t ? fieldIndex(t->fields, max->column) : -1;
            if (c < 0) return jet::Status::error(jet::Status::Code::NotFound, "no column");
            jet::Value highest;
            for (const Row& r : t->rows) {
                auto* key = std::get_if<std::int64_t>(&r[c]);
                if (key && (jet::isNull(highest) || *key > std::get<std::int64_t>(highest))) highest = *key;
            }
            rows.push_back({highest});
        } else {
            auto& equal = std::get<ValueOf>(statement);
            MemTable* t = find(equal.table);
            int c = t ? fieldIndex(t->fields, equal.column) : -1;
            if (c < 0) return jet::Status::error(jet::Status::Code::NotFound, "no column");
            for (const Row& r : t->rows)
                if (sameValue(r[c], std::u16string(equal.text))) rows.push_back({r[c]});
        }
        *out = std::make_unique<MemRecordset>(nullptr, std::vector<Field>{{"value"}}, std::move(rows));
        return jet::Status::ok();
    }
    jet::Status canAppend(std::string_view name) override {
        MemTable* t = find(name);
        if (!t) return jet::Status::error(jet::Status::Code::NotFound, "no table");
        if (!t->cannotAppend.empty()) return jet::Status::error(jet::Status::Code::Unsupported, t->cannotAppend);
        return jet::Status::ok();
    }
    jet::Status begin() override {
        saved_ = tables;
        return jet::Status::ok();
    }
    jet::Status commit() override { return jet::Status::ok(); }
    jet::Status rollback() override {
        tables = saved_;
        return jet::Status::ok();
    }

private:
    MemTable* find(std::string_view name) {
        for (auto& [key, table] : tables)
            if (jet::equalsIgnoreCase(key, name)) return &table;
        return nullptr;
    }
    std::map<std::string, MemTable> saved_;
};

} // namespace merge::testing
