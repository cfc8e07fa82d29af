// velmorant-cli generate: the row mix of a server's file, every drawn row
// written, and the contents merges rely on (device types, Nulls, long memos,
// references that resolve and some that do not, shared identifiers).
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "merge/dao.h"
#include "schema/catalogue.h"
#include "support/files.h"
#include "support/process.h"

namespace {

using jet::Value;
using test_files::cli;
using Rows = std::vector<std::vector<Value>>;

struct Table {
    std::vector<merge::Field> fields;
    Rows rows;
    std::vector<Value> column(std::string_view name) const {
        std::vector<Value> out;
        int at = merge::fieldIndex(fields, name);
        for (const auto& row : rows) out.push_back(at >= 0 ? row[at] : Value{});
        return out;
    }
};

std::map<std::string, Table> readAll(const std::string& path) {
    std::map<std::string, Table> out;
    std::unique_ptr<merge::Database> db;
    EXPECT_TRUE(merge::openDatabase(path, &db).isOk()) << path;
    if (!db) return out;
    for (const schema::TableInfo& info : schema::tables()) {
        std::unique_ptr<merge::Recordset> rs;
        if (!db->openRecordset(info.name, &rs).isOk()) continue;
        Table& table = out[std::string(info.name)];
        table.fields = rs->fields();
        while (!rs->eof()) {
            table.rows.push_back(rs->values());
            if (!rs->moveNext().isOk()) break;
        }
    }
    return out;
}

std::string generate(const std::string& out, int seed, int scale, const std::string& more = "") {
    test_files::ProgramRun made =
        cli("generate " + out + " --seed " + std::to_string(seed) + " --scale " + std::to_string(scale) + more);
    EXPECT_EQ(made.exit, 0) << made.err;
    EXPECT_EQ(made.err, "");
    return made.out;
}

std::u16string folded(std::u16string text) {
    for (char16_t& c : text)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return text;
}

std::set<std::int64_t> keysOf(const Table& table, std::string_view column) {
    std::set<std::int64_t> out;
    for (const Value& v : table.column(column))
        if (auto* key = std::get_if<std::int64_t>(&v)) out.insert(*key);
    return out;
}

} // namespace

// Every table grows with the scale, every drawn row is written (nothing is
// refused by the unique indexes), and the tables of identifiers per device
// carry most of the rows.
TEST(Generate, RowMixGrowsWithTheScaleAndEveryRowIsWritten) {
    test_files::ScratchDir dir;
    std::string small = generate(dir.file("1.mdb"), 7, 1), large = generate(dir.file("2.mdb"), 7, 2);
    auto one = readAll(dir.file("1.mdb")), two = readAll(dir.file("2.mdb"));
    std::size_t total = 0, perDevice = 0;
    for (const auto& [name, table] : one) {
        EXPECT_GT(table.rows.size(), 0u) << name;
        EXPECT_EQ(two.at(name).rows.size(), 2 * table.rows.size()) << name;
        total += table.rows.size();
        bool identifiersPerDevice = merge::fieldIndex(table.fields, "identifikator") >= 0 &&
                                    merge::fieldIndex(table.fields, "id_zariadenia") >= 0;
        if (identifiersPerDevice) perDevice += table.rows.size();
    }
    EXPECT_EQ(small, "rows=" + std::to_string(total) + "\n");
    EXPECT_EQ(large, "rows=" + std::to_string(2 * total) + "\n");
    EXPECT_LE(total, 4000u); // small enough for the tests that merge it
    EXPECT_GT(perDevice * 3, total * 2);
    std::size_t biggest = 0;
    for (const auto& [name, table] : one) biggest = std::max(biggest, table.rows.size());
    EXPECT_EQ(one.at("downloadovane_identifikatory").rows.size(), biggest);
    EXPECT_EQ(cli("check " + dir.file("2.mdb")).exit, 0);
}

// What a merge has to cope with is all there, even at the smallest scale.
TEST(Generate, ContentsOfAServerFile) {
    test_files::ScratchDir dir;
    generate(dir.file("g.mdb"), 3, 1);
    auto tables = readAll(dir.file("g.mdb"));

    std::set<std::int64_t> types;
    bool nullType = false;
    for (const Value& v : tables.at("zariadenia").column("typ_zariadenia")) {
        if (auto* type = std::get_if<std::int64_t>(&v)) types.insert(*type);
        nullType |= jet::isNull(v);
    }
    for (std::int64_t type : {0, 10, 12}) EXPECT_TRUE(types.count(type)) << type;
    EXPECT_TRUE(nullType);

    std::size_t emptyMemo = 0, longMemo = 0;
    for (const auto& [name, table] : tables)
        for (const merge::Field& field : table.fields)
            if (field.type == jet::ColumnType::Memo)
                for (const Value& v : table.column(field.name))
                    if (auto* memo = std::get_if<std::u16string>(&v)) {
                        emptyMemo += memo->empty();
                        longMemo += memo->size() > 10000;
                    }
    EXPECT_GT(emptyMemo, 0u);
    EXPECT_GT(longMemo, 0u);

    std::set<std::u16string> identifiers;
    bool quoted = false;
    for (const Value& v : tables.at("identifikatory").column("identifikator")) {
        const auto& id = std::get<std::u16string>(v);
        quoted |= id.find(u'\'') != std::u16string::npos;
        identifiers.insert(id);
    }
    EXPECT_TRUE(quoted);
    const Table& downloaded = tables.at("downloadovane_identifikatory");
    std::set<std::int64_t> devices = keysOf(tables.at("zariadenia"), "id_zariadenia");
    std::size_t knownDevice = 0, knownIdentifier = 0;
    for (const Value& v : downloaded.column("id_zariadenia"))
        knownDevice += devices.count(std::get<std::int64_t>(v));
    for (const Value& v : downloaded.column("identifikator"))
        knownIdentifier += identifiers.count(std::get<std::u16string>(v));
    for (std::size_t known : {knownDevice, knownIdentifier}) {
        EXPECT_GT(known, downloaded.rows.size() * 8 / 10);
        EXPECT_LT(known, downloaded.rows.size());
    }
}

// A file made to share identifiers with another holds some of them as they
// are, some in another letter case, and still no two of its own that differ
// only in case.
TEST(Generate, IdentifiersSharedWithAnotherFile) {
    test_files::ScratchDir dir;
    generate(dir.file("a.mdb"), 1, 1);
    generate(dir.file("b.mdb"), 2, 1, " --share-identifiers-with " + dir.file("a.mdb"));
    auto identifiers = [&](const std::string& file) {
        std::vector<std::u16string> out;
        for (const Value& v : readAll(file).at("identifikatory").column("identifikator"))
            out.push_back(std::get<std::u16string>(v));
        return out;
    };
    std::vector<std::u16string> a = identifiers(dir.file("a.mdb")), b = identifiers(dir.file("b.mdb"));
    std::set<std::u16string> exact(a.begin(), a.end()), caseless, ownCaseless;
    for (const auto& id : a) caseless.insert(folded(id));
    std::size_t same = 0, otherCase = 0;
    for (const auto& id : b) {
        EXPECT_TRUE(ownCaseless.insert(folded(id)).second);
        if (exact.count(id)) ++same;
        else if (caseless.count(folded(id))) ++otherCase;
    }
    EXPECT_GT(same, a.size() / 5);
    EXPECT_GT(otherCase, 0u);
}
