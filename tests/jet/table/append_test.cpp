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

std::vector<Value> identifierRow(std::int64_t device, std::int64_t n) {
    char id[32];
    std::snprintf(id, sizeof id, "K%08lld", static_cast<long long>(n));
    return {Value(std::int64_t{n * 7 % 1000}), Value(device), Value(u(id)), Value(u("1234"))};
}

// A row of `identifikatory` with every value Null (booleans false).
std::vector<Value> emptyRow(const Table& t) {
    std::vector<Value> row(t.columns().size());
    for (std::size_t i = 0; i < row.size(); ++i)
        if (t.columns()[i].type == ColumnType::Bool) row[i] = false;
    return row;
}

std::u16string memoOf(std::size_t length, char16_t first) {
    std::u16string s(length, u' ');
    for (std::size_t i = 0; i < length; ++i) s[i] = static_cast<char16_t>(first + i % 23);
    return s;
}

Status appendAll(Database& db, Table& t, std::vector<std::vector<Value>>& rows) {
    JET_TRY(db.begin());
    for (auto& row : rows) {
        Status s = t.append(&row);
        if (!s.ok()) {
            (void)db.rollback();
            return s;
        }
    }
    return db.commit();
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
            auto row = emptyRow(*t);
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
        Status s = appendAll(*db, *t, copy);
        ASSERT_TRUE(s.ok()) << s.message();
        EXPECT_EQ(copy, rows);

        auto p = openTable(*db, "downloadovane_parametre_zariadeni");
        std::vector<std::vector<Value>> params(2, emptyRow(*p));
        cameraMode = columnAt(*p, "kamera_kod_modu");
        params[0][columnAt(*p, "id_zariadenia")] = std::int64_t{5};
        params[0][columnAt(*p, "impulzomer_cena_za_jednotku")] = Currency{-123456789};
        params[0][columnAt(*p, "impulzomer_vaha_impulzu")] = 0.125;
        params[0][cameraMode] = std::int64_t{255};
        params[0][columnAt(*p, "vytah_najnizsie_poschodie")] = std::int64_t{-32768};
        params[1][columnAt(*p, "id_zariadenia")] = std::int64_t{6};
        params[1][columnAt(*p, "impulzomer_jednotka")] = u("");
        auto paramsCopy = params;
        ASSERT_TRUE(appendAll(*db, *p, paramsCopy).ok());
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

// Nothing of a refused row reaches the file, inside a transaction or not,
// nor of any row offered to a read-only database; the table keeps taking
// rows afterwards.
TEST(Append, RefusedRowsLeaveNoTrace) {
    Scratch file(blank());
    auto withKey = [](const Table& t, const char* key) {
        auto row = emptyRow(t);
        if (key) row[columnAt(t, "identifikator")] = u(key);
        return row;
    };
    {
        auto db = openWritable(file.path());
        auto row = withKey(*openTable(*db, "identifikatory"), "Abc");
        ASSERT_TRUE(openTable(*db, "identifikatory")->append(&row).ok());
    }
    const std::string before = file.bytes();
    auto db = openWritable(file.path());
    auto t = openTable(*db, "identifikatory");
    struct Case {
        const char* why;
        const char* key;
        const char* column = nullptr;
        Value value;
    };
    const Case cases[] = {
        {"duplicate primary key, letter case and trailing blanks ignored", "aBC  "},
        {"missing primary key", nullptr},
        {"text too long", "xxxxxxxxxxxxxxxxxxxxx"},
        {"byte out of range", "R", "typ_identifikatora", std::int64_t{256}},
        {"text for a number", "K", "poschodie", u("tri")},
        {"text key we cannot encode", "日本"},
    };
    for (bool inTransaction : {false, true}) {
        if (inTransaction) ASSERT_TRUE(db->begin().ok());
        for (const Case& c : cases) {
            SCOPED_TRACE(c.why);
            auto row = withKey(*t, c.key);
            if (c.column) row[columnAt(*t, c.column)] = c.value;
            Status s = t->append(&row);
            EXPECT_EQ(s.code(), Status::Code::Refused) << s.message();
            EXPECT_FALSE(s.message().empty());
        }
        if (inTransaction) ASSERT_TRUE(db->commit().ok());
    }
    std::vector<Value> shortRow(3);
    EXPECT_EQ(t->append(&shortRow).code(), Status::Code::InvalidArgument);
    t.reset();
    db.reset();
    ASSERT_TRUE(Database::open(file.path().string(), Pager::Mode::ReadOnly, &db).ok());
    t = openTable(*db, "identifikatory");
    EXPECT_FALSE(t->canAppend().ok());
    auto fine = withKey(*t, "Abd");
    EXPECT_FALSE(t->append(&fine).ok()) << "a read-only database takes no rows";
    t.reset();
    db.reset();
    EXPECT_TRUE(file.bytes() == before) << "the file changed";

    db = openWritable(file.path());
    fine = withKey(*openTable(*db, "identifikatory"), "Abd");
    EXPECT_TRUE(openTable(*db, "identifikatory")->append(&fine).ok());
    db.reset();
    expectCleanCheck(file.path());
}

// Rows appended in an open transaction are visible to readers; a rollback
// takes every one of them out of the file, and writing goes on after it.
TEST(Append, RollbackUndoesEverythingAndWritingGoesOn) {
    Scratch file(blank());
    const std::string before = file.bytes();
    auto db = openWritable(file.path());
    auto t = openTable(*db, "downloadovane_identifikatory");
    ASSERT_TRUE(db->begin().ok());
    for (int i = 0; i < 5000; ++i) {
        auto row = identifierRow(1, i);
        ASSERT_TRUE(t->append(&row).ok());
    }
    EXPECT_EQ(readAll(*db, "downloadovane_identifikatory").size(), 5000u);
    ASSERT_TRUE(db->rollback().ok());
#ifndef _WIN32 // where nobody may read a file open for writing
    EXPECT_TRUE(file.bytes() == before);
#endif

    ASSERT_TRUE(db->begin().ok());
    for (int i = 0; i < 10; ++i) {
        auto row = identifierRow(2, i);
        ASSERT_TRUE(t->append(&row).ok()) << i;
    }
    ASSERT_TRUE(db->commit().ok());
    EXPECT_EQ(readAll(*db, "downloadovane_identifikatory").size(), 10u);
    db.reset();
    expectCleanCheck(file.path());
}

// Tables left open across a rollback show the counters of the file again,
// and the numbers a rolled-back append took are handed out once more; a
// table closed before the rollback or kept past its database does no harm.
TEST(Append, RollbackLeavesNoStaleCountersInOpenTables) {
    Scratch file(blank());
    auto db = openWritable(file.path());
    auto t = openTable(*db, "dialkove_otvorenie_vyvolane_pouzitim_identifikatora");
    auto sibling = openTable(*db, "dialkove_otvorenie_vyvolane_pouzitim_identifikatora");
    const std::size_t id = columnAt(*t, "id");
    const TableDef before = impl(*t).def();
    auto appendOne = [&](Table& table) {
        std::vector<Value> row(table.columns().size());
        Status s = table.append(&row);
        EXPECT_TRUE(s.ok()) << s.message();
        return std::get<std::int64_t>(row[id]);
    };
    ASSERT_TRUE(db->begin().ok());
    const std::int64_t first = appendOne(*t);
    for (int i = 0; i < 99; ++i) appendOne(*t);
    appendOne(*openTable(*db, "dialkove_otvorenie_vyvolane_pouzitim_identifikatora"));
    EXPECT_EQ(t->rowCount(), 100u);
    ASSERT_TRUE(db->rollback().ok());
    for (const Table* open : {t.get(), sibling.get()}) {
        EXPECT_EQ(open->rowCount(), before.rowCount);
        EXPECT_EQ(impl(*open).def().autonumber, before.autonumber);
        for (std::size_t i = 0; i < before.realIndexes.size(); ++i)
            EXPECT_EQ(impl(*open).def().realIndexes[i].statDistinct, before.realIndexes[i].statDistinct);
    }

    EXPECT_EQ(appendOne(*t), first) << "a rolled-back number is free again";
    EXPECT_EQ(t->rowCount(), before.rowCount + 1);
    db.reset();
    std::vector<Value> row(sibling->columns().size());
    EXPECT_EQ(sibling->append(&row).code(), Status::Code::InvalidArgument);
    sibling.reset();
    t.reset();
    db = openWritable(file.path());
    EXPECT_EQ(openTable(*db, "dialkove_otvorenie_vyvolane_pouzitim_identifikatora")->rowCount(), before.rowCount + 1);
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
            auto row = identifierRow(device, i);
            s = t->append(&row);
        }
        return s.ok() ? db->commit() : s;
    };
    Status failed = fill(1, 50000);
    ASSERT_EQ(failed.code(), Status::Code::IoError) << failed.message();
    auto row = identifierRow(2, 0);
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

// Definitions Access allows and blank.mdb lacks, made by changing its
// tables: a primary key that takes a long text as its third column, a
// unique index over columns that may be Null, a binary column. Each takes
// values up to its limit and refuses one byte more; long values fill a page.
TEST(Append, KeysAndValuesAtTheirLimits) {
    Scratch file(blank());
    auto db = openWritable(file.path());
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
        std::uint8_t* third = b + d.realIndexes[0].descriptorOffset + tdef::kRealIndexColumns + 2 * tdef::kIndexColumnSize;
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
    db.reset();
    db = openWritable(file.path());
    auto append = [&](const std::string& table, std::vector<std::pair<const char*, Value>> values) {
        auto t = openTable(*db, table);
        std::vector<Value> row(t->columns().size());
        for (auto& [column, v] : values) row[columnAt(*t, column)] = v;
        return t->append(&row).code();
    };

    // Two texts of 100 punctuation marks, then one whose key reaches `size`.
    const std::u16string marks(100, u'-');
    auto keyOfSize = [&](std::size_t size) {
        auto t = openTable(*db, "ini_subor");
        std::vector<KeyColumn> columns;
        EXPECT_TRUE(keyColumnsOf(impl(*t).def(), impl(*t).def().realIndexes[0], &columns).ok());
        std::vector<Value> row(t->columns().size());
        row[columnAt(*t, "sekcia")] = marks;
        row[columnAt(*t, "kluc")] = marks;
        Bytes key;
        for (std::size_t n = 0; n <= 255; ++n)
            for (std::size_t letters = 0; letters <= n; ++letters) {
                row[columnAt(*t, "hodnota")] = std::u16string(letters, u'a') + std::u16string(n - letters, u'-');
                if (encodeKey(columns, row, &key).ok() && key.size() == size) return row[columnAt(*t, "hodnota")];
            }
        ADD_FAILURE() << "no key of " << size << " bytes";
        return Value();
    };
    const std::size_t largest = kMaxIndexEntry - kRowPointerBytes;
    EXPECT_EQ(append("ini_subor", {{"sekcia", marks}, {"kluc", marks}, {"hodnota", keyOfSize(largest)}}),
              Status::Code::Ok);
    EXPECT_EQ(append("ini_subor", {{"sekcia", marks}, {"kluc", marks}, {"hodnota", keyOfSize(largest + 1)}}),
              Status::Code::Refused);

    const char* times = "downloadovane_casove_zony_identifikatorov_na_zariadeniach";
    for (Status::Code expected : {Status::Code::Ok, Status::Code::Ok})
        EXPECT_EQ(append(times, {{"id_zariadenia", std::int64_t{1}}}), expected) << "a key holding a Null";
    for (Status::Code expected : {Status::Code::Ok, Status::Code::Refused})
        EXPECT_EQ(append(times, {{"id_zariadenia", std::int64_t{1}}, {"identifikator", u("A")}}), expected);

    const std::size_t length = impl(*openTable(*db, "downloadovane_identifikatory")).def().column("pin_kod")->length;
    for (std::size_t n : {length, length + 1})
        EXPECT_EQ(append("downloadovane_identifikatory",
                         {{"id_zariadenia", std::int64_t(n)}, {"identifikator", std::u16string(20, u'K')}, {"pin_kod", Bytes(n, 7)}}),
                  n == length ? Status::Code::Ok : Status::Code::Refused);
    // Two long values that fill a page to its last two bytes: the next one
    // goes to a new page, and the full one is no longer listed as having room.
    for (std::size_t chars : {1019, 1019, 100})
        EXPECT_EQ(append("alarmy", {{"poznamky", std::u16string(chars, chars > 100 ? u'Ж' : u'a')}}), Status::Code::Ok);
    db.reset();
    expectCleanCheck(file.path());
}
