// Appending rows: handles of one table and rollbacks, refusals at the limits
// that leave the file untouched, a long value of a row's size in one row,
// zeros for empty fixed fields. Values of every kind, and every table the
// merge writes, are appended and read back by the whole-merge tests and the
// appends to the Access-written samples.
#include "support/database.h"

#include <algorithm>
#include <functional>

#include "jet/format/data_page.h"
#include "jet/format/tabledef_format.h"
#include "jet/index/index_tree.h"
#include "jet/index/keys.h"
#include "jet/table/longvalue_writer.h"

using namespace test_db;

namespace {

using Named = std::vector<std::pair<const char*, Value>>;

// A row of `t` with the values named, the others Null (yes/no: No).
std::vector<Value> rowOf(const Table& t, const Named& values) {
    std::vector<Value> row(t.columns().size());
    for (std::size_t i = 0; i < row.size(); ++i)
        if (t.columns()[i].type == ColumnType::Bool) row[i] = false;
    for (const auto& [column, v] : values) row[columnAt(t, column)] = v;
    return row;
}

// Gives blank.mdb definitions Access allows and it lacks: the primary key of
// ini_subor takes the long text hodnota as its third column, the index of
// the time zones of identifiers becomes unique over columns that may be
// Null, and pin_kod becomes a binary column.
void widenDefinitions(const fs::path& file) {
    auto db = openWritable(file);
    Pager& pager = impl(*db).pager();
    auto patch = [&](const std::string& table, const std::function<void(const TableDef&, std::uint8_t*)>& change) {
        const TableDef def = impl(*openTable(*db, table)).def();
        PageRef ref;
        ASSERT_TRUE(pager.read(def.firstPage, &ref).ok());
        Page page = *ref;
        change(def, page.bytes.data());
        ASSERT_TRUE(pager.write(def.firstPage, page).ok());
    };
    ASSERT_TRUE(pager.begin().ok());
    patch("ini_subor", [](const TableDef& d, std::uint8_t* b) {
        std::uint8_t* third =
            b + d.realIndexes[0].descriptorOffset + tdef::kRealIndexColumns + 2 * tdef::kIndexColumnSize;
        putLe16(third, d.column("hodnota")->number);
        third[tdef::kIndexColumnOrder] = 1;
    });
    patch("downloadovane_casove_zony_identifikatorov_na_zariadeniach", [](const TableDef& d, std::uint8_t* b) {
        b[d.realIndexes[0].descriptorOffset + tdef::kRealIndexFlags] |= RealIndexDef::kUnique;
    });
    patch("downloadovane_identifikatory", [](const TableDef& d, std::uint8_t* b) {
        b[d.column("pin_kod")->descriptorOffset + tdef::kColumnType] = static_cast<std::uint8_t>(ColumnType::Binary);
    });
    ASSERT_TRUE(pager.commit().ok());
}

// The size of the key of ini_subor for a row of two texts of 100
// punctuation marks and `hodnota`.
std::size_t keySize(Table& t, const Value& hodnota) {
    std::vector<KeyColumn> columns;
    EXPECT_TRUE(keyColumnsOf(impl(t).def(), impl(t).def().realIndexes[0], &columns).ok());
    const std::u16string marks(100, u'-');
    Bytes key;
    EXPECT_TRUE(encodeKey(columns, rowOf(t, {{"sekcia", marks}, {"kluc", marks}, {"hodnota", hodnota}}), &key).ok());
    return key.size();
}

} // namespace

// Two handles of one table show the same row count whichever takes the
// rows; a rollback takes the count back to the committed rows, and the
// AutoNumber counter goes on from the last committed number. Once the
// database is closed, its tables still open take no rows.
TEST(Append, HandlesOfATableShareItsCountersAndARollbackTakesThemBack) {
    Scratch file(blank());
    auto db = openWritable(file.path());
    const char* name = "dialkove_otvorenie_vyvolane_pouzitim_identifikatora";
    auto a = openTable(*db, name), b = openTable(*db, name);
    std::size_t numbered = 0;
    while (!a->columns()[numbered].autonumber) ++numbered;
    auto add = [&](Table& t) {
        auto row = rowOf(t, {});
        EXPECT_TRUE(t.append(&row).ok());
        return std::get<std::int64_t>(row[numbered]);
    };
    const std::uint32_t start = a->rowCount();
    const std::int64_t first = add(*a);
    EXPECT_EQ(add(*b), first + 1);
    EXPECT_EQ(a->rowCount(), start + 2);
    EXPECT_EQ(b->rowCount(), start + 2);

    ASSERT_TRUE(db->begin().ok());
    add(*a);
    ASSERT_TRUE(db->rollback().ok());
    EXPECT_EQ(a->rowCount(), start + 2);
    EXPECT_EQ(b->rowCount(), start + 2);
    auto c = openTable(*db, name);
    EXPECT_EQ(add(*c), first + 2);
    EXPECT_EQ(b->rowCount(), start + 3);

    db.reset();
    auto row = rowOf(*a, {});
    EXPECT_EQ(a->append(&row).code(), Status::Code::InvalidArgument) << "the database is closed";
    EXPECT_EQ(a->rowCount(), start + 3);
    a.reset(), b.reset(), c.reset();
    expectCleanCheck(file.path());
}

// Keys and values up to their limits are taken, one byte more and other
// wrong rows are refused. Nothing of a refused row reaches the file, inside
// a transaction or not, nor of any row offered to a read-only database; the
// tables keep taking rows afterwards.
TEST(Append, RowsAtTheLimitsTakenOthersRefusedWithoutTrace) {
    Scratch file(blank());
    widenDefinitions(file.path());
    auto db = openWritable(file.path());
    auto append = [&](const char* table, const Named& values) {
        auto t = openTable(*db, table);
        auto row = rowOf(*t, values);
        Status s = t->append(&row);
        EXPECT_TRUE(s.ok() || !s.message().empty()) << "a refusal says why";
        return s.code();
    };
    const std::u16string marks(100, u'-');
    const std::size_t largest = kMaxIndexEntry - kRowPointerBytes;
    // A punctuation mark takes 4 bytes of the key, a letter 1.
    const Value atLimit = std::u16string(6, u'a') + std::u16string(244, u'-');
    const Value beyond = std::u16string(7, u'a') + std::u16string(244, u'-');
    ASSERT_EQ(keySize(*openTable(*db, "ini_subor"), atLimit), largest);
    ASSERT_EQ(keySize(*openTable(*db, "ini_subor"), beyond), largest + 1);
    const std::size_t length = impl(*openTable(*db, "downloadovane_identifikatory")).def().column("pin_kod")->length;
    const char* times = "downloadovane_casove_zony_identifikatorov_na_zariadeniach";
    const std::int64_t one = 1;
    const Named taken[] = {
        {{"identifikator", u("Abc")}},
        {{"sekcia", marks}, {"kluc", marks}, {"hodnota", atLimit}},
        {{"id_zariadenia", one}},
        {{"id_zariadenia", one}}, // a key holding a Null is no duplicate
        {{"id_zariadenia", one}, {"identifikator", u("A")}},
        {{"id_zariadenia", one}, {"identifikator", std::u16string(20, u'K')}, {"pin_kod", Bytes(length, 7)}},
        {}, // an AutoNumber counter to raise
    };
    const char* takenBy[] = {"identifikatory",
                             "ini_subor",
                             times,
                             times,
                             times,
                             "downloadovane_identifikatory",
                             "dialkove_otvorenie_vyvolane_pouzitim_identifikatora"};
    for (std::size_t i = 0; i < std::size(taken); ++i) EXPECT_EQ(append(takenBy[i], taken[i]), Status::Code::Ok) << i;
    // Two long values that fill a page to its last two bytes: the next one
    // goes to a new page, and the full one is no longer listed as having room.
    for (std::size_t chars : {1019, 1019, 100})
        EXPECT_EQ(append("alarmy", {{"poznamky", std::u16string(chars, chars > 100 ? u'Ж' : u'a')}}), Status::Code::Ok);
    db.reset();

    const std::string before = file.bytes();
    db = openWritable(file.path());
    struct Case {
        const char* why;
        const char* table;
        Named values;
    };
    const Case cases[] = {
        {"duplicate primary key, letter case and trailing blanks ignored",
         "identifikatory",
         {{"identifikator", u("aBC  ")}}},
        {"missing primary key", "identifikatory", {}},
        {"text too long", "identifikatory", {{"identifikator", std::u16string(21, u'x')}}},
        {"byte out of range", "identifikatory", {{"identifikator", u("R")}, {"typ_identifikatora", std::int64_t{256}}}},
        {"text for a number", "identifikatory", {{"identifikator", u("K")}, {"poschodie", u("tri")}}},
        {"text key we cannot encode", "identifikatory", {{"identifikator", u("日本")}}},
        {"key one byte too long", "ini_subor", {{"sekcia", marks}, {"kluc", marks}, {"hodnota", beyond}}},
        {"unique key taken", times, {{"id_zariadenia", one}, {"identifikator", u("a")}}},
        {"binary value one byte too long",
         "downloadovane_identifikatory",
         {{"id_zariadenia", one}, {"identifikator", u("L")}, {"pin_kod", Bytes(length + 1, 7)}}},
    };
    for (bool inTransaction : {false, true}) {
        if (inTransaction) {
            ASSERT_TRUE(db->begin().ok());
        }
        for (const Case& c : cases) EXPECT_EQ(append(c.table, c.values), Status::Code::Refused) << c.why;
        if (inTransaction) {
            ASSERT_TRUE(db->commit().ok());
        }
    }
    std::vector<Value> shortRow(3);
    EXPECT_EQ(openTable(*db, "identifikatory")->append(&shortRow).code(), Status::Code::InvalidArgument);
    db.reset();
    ASSERT_TRUE(Database::open(file.path().string(), Pager::Mode::ReadOnly, &db).ok());
    auto t = openTable(*db, "identifikatory");
    EXPECT_FALSE(t->canAppend().ok());
    auto fine = rowOf(*t, {{"identifikator", u("Abd")}});
    EXPECT_FALSE(t->append(&fine).ok()) << "a read-only database takes no rows";
    t.reset();
    db.reset();
    EXPECT_TRUE(file.bytes() == before) << "the file changed";

    db = openWritable(file.path());
    EXPECT_EQ(append("identifikatory", {{"identifikator", u("Abd")}}), Status::Code::Ok);
    db.reset();
    expectCleanCheck(file.path());

    // A long value of exactly one row's size is stored in one row, as one a
    // character shorter is: the file grows by as much for either.
    const auto grownBy = [](std::size_t chars) {
        Scratch fresh(blank());
        const auto before = fs::file_size(fresh.path());
        auto db = openWritable(fresh.path());
        auto t = openTable(*db, "alarmy");
        auto row = rowOf(*t, {{"poznamky", std::u16string(chars, u'Ж')}});
        EXPECT_TRUE(t->append(&row).ok());
        db.reset();
        return fs::file_size(fresh.path()) - before;
    };
    EXPECT_EQ(grownBy(kMaxSingleRowLongValue / 2), grownBy(kMaxSingleRowLongValue / 2 - 1));
}

// An empty fixed field stores zeros, whatever the row appended before it
// held there.
TEST(Append, EmptyFixedFieldsStoreZeros) {
    Scratch file(blank());
    auto db = openWritable(file.path());
    auto t = openTable(*db, "alarmy");
    auto full = rowOf(*t, {{"id_zariadenia", std::int64_t{-1}}, {"typ_alarmu", std::int64_t{-1}}, {"datumcas", -1.5}});
    auto empty = rowOf(*t, {});
    ASSERT_TRUE(t->append(&full).ok());
    ASSERT_TRUE(t->append(&empty).ok());
    std::vector<std::uint32_t> pages; // the rows written out first
    ASSERT_TRUE(impl(*t).dataPages(&pages).ok());
    ASSERT_EQ(pages.size(), 1u);
    PageRef ref;
    ASSERT_TRUE(impl(*db).pager().read(pages[0], &ref).ok());
    DataPage page;
    RowSlot last;
    ASSERT_TRUE(DataPage::open(ref, pages[0], &page).ok());
    ASSERT_TRUE(page.slot(page.slotCount() - 1, &last).ok());
    const ByteSpan row = page.body(last);
    for (const ColumnDef& c : impl(*t).def().columns) {
        if (!c.isFixed() || c.type == ColumnType::Bool || c.isAutonumber()) continue;
        const ByteSpan field = row.subspan(2 + c.fixedOffset, c.length);
        EXPECT_TRUE(std::all_of(field.begin(), field.end(), [](std::uint8_t b) { return b == 0; })) << c.name;
    }
}
