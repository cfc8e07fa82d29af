// velmorant-cli generate: the row mix of a server's file, every drawn row
// written, the contents merges rely on (device types, Nulls, long memos,
// references that resolve and some that do not, shared identifiers), texts
// as long as a server's, and the same bytes for the same seed and scale.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "jet/database.h"
#include "jet/table.h"
#include "jet/text.h"
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
    EXPECT_TRUE(merge::openDatabase(path, &db).ok()) << path;
    if (!db) return out;
    for (const schema::TableInfo& info : schema::tables()) {
        std::unique_ptr<merge::Recordset> rs;
        if (!db->openRecordset(info.name, &rs).ok()) continue;
        Table& table = out[std::string(info.name)];
        table.fields = rs->fields();
        while (!rs->eof()) {
            table.rows.push_back(rs->values());
            if (!rs->moveNext().ok()) break;
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

// The characters each text column holds at most, by table and column.
std::map<std::pair<std::string, std::string>, std::size_t> textLengths(const std::string& path) {
    std::map<std::pair<std::string, std::string>, std::size_t> out;
    std::unique_ptr<jet::Database> db;
    EXPECT_TRUE(jet::Database::open(path, jet::OpenMode::ReadOnly, &db).ok()) << path;
    for (const schema::TableInfo& info : schema::tables()) {
        std::unique_ptr<jet::Table> table;
        if (!db || !db->openTable(info.name, &table).ok()) continue;
        for (const jet::Column& column : table->columns())
            if (column.type == jet::ColumnType::Text) out[{std::string(info.name), column.name}] = column.length / 2;
    }
    return out;
}

std::vector<std::u16string> textsOf(const Table& table, std::string_view column) {
    std::vector<std::u16string> out;
    for (const Value& v : table.column(column))
        if (auto* text = std::get_if<std::u16string>(&v)) out.push_back(*text);
    return out;
}

bool allDigits(std::u16string_view text) {
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
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

// Text columns hold what a server keeps there, as long as it keeps it and
// never longer than the column allows; the identifiers' notes range from
// nothing to several KB.
TEST(Generate, TextsAsLongAsAServersWithinTheirColumns) {
    test_files::ScratchDir dir;
    generate(dir.file("g.mdb"), 4, 1);
    auto tables = readAll(dir.file("g.mdb"));
    for (const auto& [column, maxChars] : textLengths(dir.file("g.mdb")))
        for (const std::u16string& text : textsOf(tables.at(column.first), column.second)) {
            EXPECT_LE(text.size(), maxChars) << column.first << "." << column.second;
            EXPECT_FALSE(text.empty()) << column.first << "." << column.second;
        }

    const Table& owners = tables.at("identifikatory");
    for (const std::u16string& name : textsOf(owners, "meno_majitela")) {
        auto words = 1 + std::count(name.begin(), name.end(), u' ');
        EXPECT_TRUE(words == 2 || words == 3) << jet::toUtf8(name);
    }
    for (const std::u16string& pin : textsOf(owners, "pin_kod"))
        EXPECT_TRUE(allDigits(pin) && pin.size() >= 4 && pin.size() <= 6) << jet::toUtf8(pin);
    for (const std::u16string& photo : textsOf(owners, "fotka_subor")) EXPECT_TRUE(photo.ends_with(u".jpg"));
    std::size_t longest = 0;
    for (const std::u16string& summary : textsOf(owners, "suhrnny_popis")) longest = std::max(longest, summary.size());
    EXPECT_GT(longest, 200u);

    std::size_t empty = 0, lines = 0, kilobytes = 0;
    for (const std::u16string& notes : textsOf(owners, "poznamky")) {
        empty += notes.empty();
        lines += !notes.empty() && notes.size() < 1000;
        kilobytes += notes.size() >= 1500 && notes.size() <= 10000;
    }
    const std::size_t rows = owners.rows.size();
    EXPECT_GT(empty, rows / 5);
    EXPECT_GT(lines, rows / 4);
    EXPECT_GT(kilobytes, rows / 10);
}

TEST(Generate, SameSeedAndScaleGiveTheSameBytes) {
    test_files::ScratchDir dir;
    generate(dir.file("a.mdb"), 9, 2);
    generate(dir.file("b.mdb"), 9, 2);
    generate(dir.file("c.mdb"), 10, 2);
    EXPECT_TRUE(test_files::readAll(dir.file("a.mdb")) == test_files::readAll(dir.file("b.mdb")));
    EXPECT_FALSE(test_files::readAll(dir.file("a.mdb")) == test_files::readAll(dir.file("c.mdb")));
}
