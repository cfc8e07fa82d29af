#include "tests/fuzz/append_copy.h"

#include <map>
#include <memory>
#include <vector>

#include "jet/db/database_impl.h"
#include "support/fault_file_layer.h"

namespace fuzz {
namespace {

using jet::Status;
using jet::Value;

constexpr std::size_t kRowsPerTable = 3;

// Rows of one table, each value under its column's name.
using NamedRows = std::vector<std::map<std::string, Value>>;

// The first rows of every user table of the sample fixture, read once.
const std::map<std::string, NamedRows>& sampleRows(const std::string& dataDir) {
    static std::map<std::string, NamedRows> rows;
    static bool loaded = false;
    if (loaded) return rows;
    loaded = true;
    std::unique_ptr<jet::Database> db;
    if (!jet::Database::open(dataDir + "/sample.mdb", jet::Pager::Mode::ReadOnly, &db).ok()) return rows;
    for (const std::string& name : db->userTables()) {
        std::unique_ptr<jet::Table> table;
        if (!db->openTable(name, &table).ok()) continue;
        jet::Table::Cursor cursor(*table);
        NamedRows& out = rows[name];
        bool hasRow = false;
        while (out.size() < kRowsPerTable && cursor.next(&hasRow).ok() && hasRow) {
            std::map<std::string, Value>& named = out.emplace_back();
            for (std::size_t i = 0; i < table->columns().size(); ++i) named[table->columns()[i].name] = cursor.row()[i];
        }
    }
    return rows;
}

// The same row with other keys: numbers moved on, texts lengthened.
void vary(std::vector<Value>* row) {
    for (Value& v : *row) {
        if (auto* n = std::get_if<std::int64_t>(&v)) *n += 1000;
        else if (auto* s = std::get_if<std::u16string>(&v)) s->push_back(u'~');
    }
}

// Appends the sample rows (and their variants) to `table`. A refusal is an
// answer; any other failure ends the run.
Status appendRows(jet::Table& table, const NamedRows& rows) {
    if (!table.canAppend().ok()) return Status::OK();
    for (const auto& named : rows) {
        std::vector<Value> row;
        for (const jet::Column& c : table.columns()) {
            auto it = named.find(c.name);
            row.push_back(it == named.end() ? Value{} : it->second);
        }
        for (int variant = 0; variant < 2; ++variant) {
            std::vector<Value> copy = row;
            if (variant) vary(&copy);
            Status st = table.append(&copy);
            if (!st.ok() && st.code() != Status::Code::Refused) return st;
        }
    }
    return Status::OK();
}

} // namespace

AppendOutcome appendCopy(const std::string& dataDir, const std::uint8_t* data, std::size_t size) {
    const auto& source = sampleRows(dataDir);
    auto layer = std::make_shared<jet::FaultFileLayer>();
    const std::string path = "/fuzz/copy.mdb";
    layer->put(path, jet::Bytes(data, data + size));

    jet::Pager::Options options;
    options.file = layer;
    options.cachePages = 64;

    AppendOutcome out;
    {
        std::unique_ptr<jet::Database> db;
        out.open = jet::Database::open(path, jet::Pager::Mode::Exclusive, options, &db);
        if (!out.open.ok()) return out;
        out.end = db->begin();
        if (!out.end.ok()) return out;
        for (const std::string& name : db->userTables()) {
            auto rows = source.find(name);
            std::unique_ptr<jet::Table> table;
            if (rows == source.end() || !db->openTable(name, &table).ok()) continue;
            out.append = appendRows(*table, rows->second);
            if (!out.append.ok()) break;
        }
        out.end = out.append.ok() ? db->commit() : db->rollback();
    }
    std::unique_ptr<jet::Database> db;
    out.check = jet::Database::open(path, jet::Pager::Mode::ReadOnly, options, &db);
    if (out.check.ok()) out.check = jet::checkDatabase(*db, &out.report);
    return out;
}

} // namespace fuzz
