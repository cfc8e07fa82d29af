#include "tests/fuzz/fuzz_inputs.h"

#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <ostream>
#include <streambuf>
#include <utility>

#include "jet/db/database_impl.h"
#include "jet/dump_json.h"
#include "support/fault_file_layer.h"

namespace fuzz {
namespace {

using jet::Status;
using jet::Value;
using NamedRows = std::vector<std::map<std::string, Value>>; // each value under its column's name

// A pager on the in-memory layer, with a small cache so that eviction is
// exercised too.
Status openInMemory(const std::uint8_t* data, std::size_t size, jet::Pager::Mode mode,
                    std::shared_ptr<jet::FaultFileLayer>* layer, std::unique_ptr<jet::Database>* db) {
    if (!*layer) {
        *layer = std::make_shared<jet::FaultFileLayer>();
        (*layer)->put("/fuzz/input.mdb", jet::Bytes(data, data + size));
    }
    jet::Pager::Options options;
    options.file = *layer;
    options.cachePages = 64;
    return jet::Database::open("/fuzz/input.mdb", mode, options, db);
}

// The first three rows of every user table of the sample fixture, read once.
const std::map<std::string, NamedRows>& sampleRows(const std::string& dataDir) {
    static std::map<std::string, NamedRows> rows;
    static bool loaded = false;
    std::unique_ptr<jet::Database> db;
    if (std::exchange(loaded, true) ||
        !jet::Database::open(dataDir + "/sample.mdb", jet::Pager::Mode::ReadOnly, &db).ok())
        return rows;
    for (const std::string& name : db->userTables()) {
        std::unique_ptr<jet::Table> table;
        if (!db->openTable(name, &table).ok()) continue;
        jet::Table::Cursor cursor(*table);
        NamedRows& out = rows[name];
        bool hasRow = false;
        while (out.size() < 3 && cursor.next(&hasRow).ok() && hasRow) {
            auto& named = out.emplace_back();
            for (std::size_t i = 0; i < table->columns().size(); ++i) named[table->columns()[i].name] = cursor.row()[i];
        }
    }
    return rows;
}

// Appends the rows, and each again with other keys (numbers moved on, texts
// lengthened). A refusal is an answer; any other failure ends the run.
Status appendRows(jet::Table& table, const NamedRows& rows) {
    if (!table.canAppend().ok()) return Status::OK();
    for (const auto& named : rows) {
        for (int variant = 0; variant < 2; ++variant) {
            std::vector<Value> row;
            for (const jet::Column& c : table.columns()) {
                auto it = named.find(c.name);
                Value& v = row.emplace_back(it == named.end() ? Value{} : it->second);
                if (auto* n = std::get_if<std::int64_t>(&v); n && variant) *n += 1000;
                if (auto* s = std::get_if<std::u16string>(&v); s && variant) s->push_back(u'~');
            }
            Status st = table.append(&row);
            if (!st.ok() && st.code() != Status::Code::Refused) return st;
        }
    }
    return Status::OK();
}

// Discards what is written, so the dump costs only its own work.
class NullBuffer : public std::streambuf {
protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

} // namespace

std::vector<std::uint8_t> applyPatches(const std::string& dataDir, const std::uint8_t* data, std::size_t size) {
    static std::map<std::string, std::vector<std::uint8_t>> loaded;
    if (size == 0) return {};
    const std::string path = dataDir + (data[0] % 2 ? "/sample.mdb" : "/blank.mdb");
    if (!loaded.count(path)) {
        std::ifstream in(path, std::ios::binary);
        loaded[path].assign(std::istreambuf_iterator<char>(in), {});
    }
    std::vector<std::uint8_t> file = loaded[path];
    const std::size_t pages = file.size() / jet::kPageSize;
    for (std::size_t at = 1; pages > 0 && at + 5 <= size;) {
        const std::size_t page = (data[at] | data[at + 1] << 8) % pages;
        const std::size_t offset = (data[at + 2] | data[at + 3] << 8) % jet::kPageSize;
        const std::size_t count = data[at + 4];
        at += 5;
        for (std::size_t i = 0; i < count && at < size; ++i, ++at)
            if (page * jet::kPageSize + offset + i < file.size()) file[page * jet::kPageSize + offset + i] = data[at];
    }
    return file;
}

Outcome readWhole(const std::uint8_t* data, std::size_t size) {
    Outcome out;
    std::shared_ptr<jet::FaultFileLayer> layer;
    std::unique_ptr<jet::Database> db;
    out.open = openInMemory(data, size, jet::Pager::Mode::ReadOnly, &layer, &db);
    if (!out.open.ok()) return out;
    NullBuffer sink;
    std::ostream stream(&sink);
    out.dump = jet::writeDump(*db, stream);
    out.check = jet::checkDatabase(*db, &out.report);
    return out;
}

AppendOutcome appendCopy(const std::string& dataDir, const std::uint8_t* data, std::size_t size) {
    const auto& source = sampleRows(dataDir);
    AppendOutcome out;
    std::shared_ptr<jet::FaultFileLayer> layer;
    std::unique_ptr<jet::Database> db;
    out.open = openInMemory(data, size, jet::Pager::Mode::Exclusive, &layer, &db);
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
    db.reset();
    out.check = openInMemory(data, size, jet::Pager::Mode::ReadOnly, &layer, &db);
    if (out.check.ok()) out.check = jet::checkDatabase(*db, &out.report);
    return out;
}

} // namespace fuzz
