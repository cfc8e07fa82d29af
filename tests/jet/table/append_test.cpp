// Appending rows: values of every kind read back by our reader and by
// mdb-export, indexes checked against the rows, refusals that leave the file
// untouched, transactions. Every table the merge writes, AutoNumber columns
// included, is appended to and checked by the whole-merge tests.
#include "support/database.h"

#include <functional>

#include "jet/format/tabledef_format.h"
#include "jet/index/index_tree.h"
#include "jet/index/keys.h"
#include "support/fault_file_layer.h"

using namespace test_db;

namespace {

std::u16string u(const std::string& utf8) { return fromUtf8(utf8); }

std::u16string memoOf(std::size_t length, char16_t first) {
    std::u16string s(length, u' ');
    for (std::size_t i = 0; i < length; ++i) s[i] = static_cast<char16_t>(first + i % 23);
    return s;
}

void appendAll(Database& db, Table& t, std::vector<std::vector<Value>>& rows) {
    ASSERT_TRUE(db.begin().ok());
    for (auto& row : rows) ASSERT_TRUE(t.append(&row).ok());
    ASSERT_TRUE(db.commit().ok());
}

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

// Texts with Slovak letters, memos of 0 B to 100 KB, Nulls, yes/no values,
// dates, numbers: the same values come back from both readers.
TEST(Append, EveryKindOfValueOfTheFixture) {
    Scratch file(blank());
    std::vector<std::vector<Value>> rows;
    std::size_t name, memo, lost, order, cameraMode;
    {
        auto db = openWritable(file.path());
        auto t = openTable(*db, "identifikatory");
        name = columnAt(*t, "meno_majitela"), memo = columnAt(*t, "poznamky"), lost = columnAt(*t, "flag_strateny"),
        order = columnAt(*t, "poradove_cislo_pre_rovnake_meno");
        const std::size_t memoSizes[] = {0, 100, 5000, 100000, 50, 4076, 4077, 8144, 8145};
        const char* names[] = {"Ľubomír Šťastný", "Žofia Ďurčová", "Ágnes Ötvös", "Peter Novák", "ŇŤĽ ňťľ ôä"};
        for (int i = 0; i < 30; ++i) {
            auto row = rowOf(*t, {});
            row[columnAt(*t, "identifikator")] = u("ID" + std::to_string(i));
            row[name] = i % 6 == 5 ? Value() : Value(u(names[i % 5]));
            if (i % 10 < 9) row[memo] = memoOf(memoSizes[i % 10] / 2, i % 2 ? u'a' : u'\u0410');
            row[columnAt(*t, "datum_prevzatia")] = i % 4 ? Value(DateTime{40000.25 + i}) : Value();
            row[lost] = i % 3 == 0;
            row[columnAt(*t, "max_hodin_pritomnosti_za_pracovny_den")] = i % 5 ? Value(7.5 + i) : Value();
            row[columnAt(*t, "poschodie")] = std::int64_t{i - 15};
            row[columnAt(*t, "typ_identifikatora")] = std::int64_t{i % 256};
            row[order] = std::int64_t{-100000 * i};
            rows.push_back(row);
        }
        auto copy = rows;
        appendAll(*db, *t, copy);
        EXPECT_EQ(copy, rows);

        auto p = openTable(*db, "downloadovane_parametre_zariadeni");
        cameraMode = columnAt(*p, "kamera_kod_modu");
        std::vector<std::vector<Value>> params = {
            rowOf(*p, {{"id_zariadenia", std::int64_t{5}},
                       {"impulzomer_cena_za_jednotku", Currency{-123456789}},
                       {"impulzomer_vaha_impulzu", 0.125},
                       {"kamera_kod_modu", std::int64_t{255}},
                       {"vytah_najnizsie_poschodie", std::int64_t{-32768}}}),
            rowOf(*p, {{"id_zariadenia", std::int64_t{6}}, {"impulzomer_jednotka", u("")}})};
        auto paramsCopy = params;
        appendAll(*db, *p, paramsCopy);
        EXPECT_EQ(readAll(*db, "downloadovane_parametre_zariadeni"), params);
    }
    EXPECT_EQ(readAll(*openWritable(file.path()), "identifikatory"), rows);
    const CheckReport r = expectCleanCheck(file.path());
    EXPECT_EQ(r.keysNotCompared, 0u);
    EXPECT_GE(r.longValues, 27u);

    if (!haveMdbExport()) GTEST_SKIP() << "mdb-export is not installed";
    const auto exportedParams = mdbExport(file.path(), "downloadovane_parametre_zariadeni");
    ASSERT_EQ(exportedParams.size(), 2u);
    EXPECT_EQ(exportedParams[0][cameraMode], "255");
    EXPECT_EQ(exportedParams[1][cameraMode], "~");
    const auto exported = mdbExport(file.path(), "identifikatory");
    ASSERT_EQ(exported.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(exported[i].size(), rows[i].size());
        const auto* n = std::get_if<std::u16string>(&rows[i][name]);
        EXPECT_EQ(exported[i][name], n ? toUtf8(*n) : "~");
        // mdb-export prints an empty value as it prints Null.
        const auto* m = std::get_if<std::u16string>(&rows[i][memo]);
        EXPECT_EQ(exported[i][memo], m && !m->empty() ? toUtf8(*m) : "~");
        EXPECT_EQ(exported[i][order], std::to_string(std::get<std::int64_t>(rows[i][order])));
        EXPECT_EQ(exported[i][lost], std::get<bool>(rows[i][lost]) ? "1" : "0");
    }
}

// A disk that fills up in the middle: the failure is reported, the
// transaction only rolls back, the file is as before, and once there is
// room again the same rows go in.
TEST(Append, FullDiskFailsTheTransactionAndRollbackRestoresTheFile) {
    auto layer = std::make_shared<FaultFileLayer>();
    const auto original = test_files::readAll(blank());
    layer->put("/mem/db.mdb", original);
    layer->setSpaceLimit(original.size() * 2 + 64 * 1024);
    Pager::Options options;
    options.file = layer;
    options.cachePages = 16;
    std::unique_ptr<Database> db;
    ASSERT_TRUE(Database::open("/mem/db.mdb", Pager::Mode::Exclusive, options, &db).ok());
    auto t = openTable(*db, "downloadovane_identifikatory");
    auto fill = [&](int device, int rows) {
        Status s = db->begin();
        for (int i = 0; i < rows && s.ok(); ++i) {
            auto row = rowOf(*t, {{"id_zariadenia", std::int64_t{device}}, {"identifikator", u(std::to_string(i))}});
            s = t->append(&row);
        }
        return s.ok() ? db->commit() : s;
    };
    Status failed = fill(1, 50000);
    ASSERT_EQ(failed.code(), Status::Code::IoError) << failed.message();
    auto row = rowOf(*t, {{"id_zariadenia", std::int64_t{2}}, {"identifikator", u("0")}});
    EXPECT_FALSE(t->append(&row).ok()) << "after a failure only rollback";
    EXPECT_FALSE(db->commit().ok());
    ASSERT_TRUE(db->rollback().ok());
    EXPECT_EQ(*layer->content("/mem/db.mdb"), original);

    layer->setSpaceLimit(UINT64_MAX);
    ASSERT_TRUE(fill(1, 20000).ok());
    EXPECT_EQ(readAll(*db, "downloadovane_identifikatory").size(), 20000u);
    CheckReport r;
    ASSERT_TRUE(checkDatabase(*db, &r).ok());
    for (const std::string& p : r.problems) ADD_FAILURE() << p;
}

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
}
