// Appending rows: values of every kind read back by our reader and by
// mdb-export, indexes checked against the rows, refusals that leave the file
// untouched, transactions. Every table the merge writes, AutoNumber columns
// included, is appended to and checked by the whole-merge tests.
#include "support/database.h"

#include "jet/fault_file_layer.h"

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
    std::vector<Value> row(t.def().columns.size());
    for (std::size_t i = 0; i < row.size(); ++i)
        if (t.def().columns[i].type == ColumnType::Bool) row[i] = false;
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
        if (!s) {
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
    std::size_t cameraMode = 0;
    {
        auto db = openWritable(file.path());
        auto t = openTable(*db, "identifikatory");
        const std::size_t id = columnAt(*t, "identifikator"), name = columnAt(*t, "meno_majitela"),
                          memo = columnAt(*t, "poznamky"), date = columnAt(*t, "datum_prevzatia"),
                          lost = columnAt(*t, "flag_strateny"), hours = columnAt(*t, "max_hodin_pritomnosti_za_pracovny_den"),
                          floor = columnAt(*t, "poschodie"), kind = columnAt(*t, "typ_identifikatora"),
                          order = columnAt(*t, "poradove_cislo_pre_rovnake_meno");
        const std::size_t memoSizes[] = {0, 100, 5000, 100000, 50, 4076, 4077, 8144, 8145};
        const char* names[] = {"Ľubomír Šťastný", "Žofia Ďurčová", "Ágnes Ötvös", "Peter Novák", "ŇŤĽ ňťľ ôä"};
        for (int i = 0; i < 30; ++i) {
            auto row = emptyRow(*t);
            row[id] = u("ID" + std::to_string(i));
            row[name] = i % 6 == 5 ? Value() : Value(u(names[i % 5]));
            if (i % 10 < 9) row[memo] = memoOf(memoSizes[i % 10] / 2, i % 2 ? u'a' : u'\u0410');
            row[date] = i % 4 ? Value(DateTime{40000.25 + i}) : Value();
            row[lost] = i % 3 == 0;
            row[hours] = i % 5 ? Value(7.5 + i) : Value();
            row[floor] = std::int64_t{i - 15};
            row[kind] = std::int64_t{i % 256};
            row[order] = std::int64_t{-100000 * i};
            rows.push_back(row);
        }
        auto copy = rows;
        Status s = appendAll(*db, *t, copy);
        ASSERT_TRUE(s.isOk()) << s.message();
        EXPECT_EQ(copy, rows);

        auto p = openTable(*db, "downloadovane_parametre_zariadeni");
        std::vector<std::vector<Value>> params(2, emptyRow(*p));
        params[0][columnAt(*p, "id_zariadenia")] = std::int64_t{5};
        params[0][columnAt(*p, "impulzomer_cena_za_jednotku")] = Currency{-123456789};
        params[0][columnAt(*p, "impulzomer_vaha_impulzu")] = 0.125;
        cameraMode = columnAt(*p, "kamera_kod_modu");
        params[0][cameraMode] = std::int64_t{255};
        params[0][columnAt(*p, "vytah_najnizsie_poschodie")] = std::int64_t{-32768};
        params[1][columnAt(*p, "id_zariadenia")] = std::int64_t{6};
        params[1][columnAt(*p, "impulzomer_jednotka")] = u("");
        ASSERT_TRUE(appendAll(*db, *p, params).isOk());
    }
    auto db = openWritable(file.path());
    EXPECT_EQ(readAll(*db, "identifikatory"), rows);
    const auto params = readAll(*db, "downloadovane_parametre_zariadeni");
    ASSERT_EQ(params.size(), 2u);
    db.reset();
    const CheckReport r = expectCleanCheck(file.path());
    EXPECT_EQ(r.keysNotCompared, 0u);
    EXPECT_GE(r.longValues, 27u);
    if (haveMdbExport()) {
        const auto exportedParams = mdbExport(file.path(), "downloadovane_parametre_zariadeni");
        ASSERT_EQ(exportedParams.size(), 2u);
        EXPECT_EQ(exportedParams[0][cameraMode], "255");
        EXPECT_EQ(exportedParams[1][cameraMode], "~");
    }

    if (!haveMdbExport()) GTEST_SKIP() << "mdb-export is not installed";
    const auto exported = mdbExport(file.path(), "identifikatory");
    ASSERT_EQ(exported.size(), rows.size());
    auto dbAgain = openWritable(file.path());
    auto t = openTable(*dbAgain, "identifikatory");
    const std::size_t name = columnAt(*t, "meno_majitela"), memo = columnAt(*t, "poznamky"),
                      order = columnAt(*t, "poradove_cislo_pre_rovnake_meno"), lost = columnAt(*t, "flag_strateny");
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
// and the table keeps taking rows afterwards.
TEST(Append, RefusedRowsLeaveNoTrace) {
    Scratch file(blank());
    {
        auto db = openWritable(file.path());
        auto t = openTable(*db, "identifikatory");
        auto row = emptyRow(*t);
        row[columnAt(*t, "identifikator")] = u("Abc");
        ASSERT_TRUE(t->append(&row).isOk());
    }
    const std::string before = file.bytes();
    auto db = openWritable(file.path());
    auto t = openTable(*db, "identifikatory");
    const std::size_t id = columnAt(*t, "identifikator");
    auto refused = [&](std::vector<Value> row, const char* why) {
        SCOPED_TRACE(why);
        Status s = t->append(&row);
        EXPECT_EQ(s.code(), Status::Code::Refused) << s.message();
        EXPECT_FALSE(s.message().empty());
    };
    auto dup = emptyRow(*t);
    dup[id] = u("aBC  "); // keys ignore letter case and trailing blanks
    auto noKey = emptyRow(*t);
    auto tooLong = emptyRow(*t);
    tooLong[id] = u(std::string(21, 'x'));
    auto range = emptyRow(*t);
    range[id] = u("R");
    range[columnAt(*t, "typ_identifikatora")] = std::int64_t{256};
    auto kind = emptyRow(*t);
    kind[id] = u("K");
    kind[columnAt(*t, "poschodie")] = u("tri");
    auto unknownChar = emptyRow(*t);
    unknownChar[id] = u("日本");
    for (int inTransaction = 0; inTransaction < 2; ++inTransaction) {
        if (inTransaction) {
            ASSERT_TRUE(db->begin().isOk());
        }
        refused(dup, "duplicate primary key");
        refused(noKey, "missing primary key");
        refused(tooLong, "text too long");
        refused(range, "byte out of range");
        refused(kind, "text for a number");
        refused(unknownChar, "text key we cannot encode");
        if (inTransaction) {
            ASSERT_TRUE(db->commit().isOk());
        }
    }
    std::vector<Value> shortRow(3);
    EXPECT_EQ(t->append(&shortRow).code(), Status::Code::InvalidArgument);
    db.reset();
    EXPECT_TRUE(file.bytes() == before) << "the file changed";

    db = openWritable(file.path());
    t = openTable(*db, "identifikatory");
    auto fine = emptyRow(*t);
    fine[id] = u("Abd");
    EXPECT_TRUE(t->append(&fine).isOk());
    db.reset();
    expectCleanCheck(file.path());
}

TEST(Append, RollbackUndoesEverythingAndWritingGoesOn) {
    Scratch file(blank());
    const std::string before = file.bytes();
    auto db = openWritable(file.path());
    auto t = openTable(*db, "downloadovane_identifikatory");
    ASSERT_TRUE(db->begin().isOk());
    for (int i = 0; i < 5000; ++i) {
        auto row = identifierRow(1, i);
        ASSERT_TRUE(t->append(&row).isOk());
    }
    // Rows appended in the open transaction are visible to readers.
    EXPECT_EQ(readAll(*db, "downloadovane_identifikatory").size(), 5000u);
    ASSERT_TRUE(db->rollback().isOk());
    db.reset();
    EXPECT_TRUE(file.bytes() == before);

    db = openWritable(file.path());
    t = openTable(*db, "downloadovane_identifikatory");
    ASSERT_TRUE(db->begin().isOk());
    for (int i = 0; i < 100; ++i) {
        auto row = identifierRow(1, i);
        ASSERT_TRUE(t->append(&row).isOk());
    }
    ASSERT_TRUE(db->rollback().isOk());
    ASSERT_TRUE(db->begin().isOk());
    for (int i = 0; i < 10; ++i) {
        auto row = identifierRow(2, i);
        ASSERT_TRUE(t->append(&row).isOk()) << i;
    }
    ASSERT_TRUE(db->commit().isOk());
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
    const TableDef before = t->def();
    auto appendOne = [&](Table& table) {
        std::vector<Value> row(table.def().columns.size());
        Status s = table.append(&row);
        EXPECT_TRUE(s.isOk()) << s.message();
        return std::get<std::int64_t>(row[id]);
    };
    ASSERT_TRUE(db->begin().isOk());
    const std::int64_t first = appendOne(*t);
    for (int i = 0; i < 99; ++i) appendOne(*t);
    appendOne(*openTable(*db, "dialkove_otvorenie_vyvolane_pouzitim_identifikatora"));
    EXPECT_EQ(t->rowCount(), 100u);
    ASSERT_TRUE(db->rollback().isOk());
    for (const Table* open : {t.get(), sibling.get()}) {
        EXPECT_EQ(open->rowCount(), before.rowCount);
        EXPECT_EQ(open->def().autonumber, before.autonumber);
        for (std::size_t i = 0; i < before.realIndexes.size(); ++i)
            EXPECT_EQ(open->def().realIndexes[i].statDistinct, before.realIndexes[i].statDistinct);
    }

    EXPECT_EQ(appendOne(*t), first) << "a rolled-back number is free again";
    EXPECT_EQ(t->rowCount(), before.rowCount + 1);
    db.reset();
    std::vector<Value> row(sibling->def().columns.size());
    EXPECT_EQ(sibling->append(&row).code(), Status::Code::InvalidArgument);
    sibling.reset();
    t.reset();
    db = openWritable(file.path());
    EXPECT_EQ(openTable(*db, "dialkove_otvorenie_vyvolane_pouzitim_identifikatora")->rowCount(),
              before.rowCount + 1);
}

TEST(Append, ReadOnlyDatabasesTakeNoRows) {
    std::unique_ptr<Database> db;
    ASSERT_TRUE(Database::open(blank().string(), Pager::Mode::ReadOnly, &db).isOk());
    auto t = openTable(*db, "identifikatory");
    EXPECT_FALSE(t->canAppend().isOk());
    auto row = emptyRow(*t);
    EXPECT_FALSE(t->append(&row).isOk());
}

// A disk that fills up in the middle: the failure is reported, the
// transaction only rolls back, the file is as before, and once there is
// room again the same rows go in.
TEST(Append, FullDiskFailsTheTransactionAndRollbackRestoresTheFile) {
    auto layer = std::make_shared<FaultFileLayer>();
    std::ifstream in(blank(), std::ios::binary);
    const FaultFileLayer::Bytes original((std::istreambuf_iterator<char>(in)), {});
    layer->put("/mem/db.mdb", original);
    layer->setSpaceLimit(original.size() * 2 + 64 * 1024);
    Pager::Options options;
    options.file = layer;
    options.cachePages = 16;
    std::unique_ptr<Database> db;
    ASSERT_TRUE(Database::open("/mem/db.mdb", Pager::Mode::Exclusive, options, &db).isOk());
    auto t = openTable(*db, "downloadovane_identifikatory");
    ASSERT_TRUE(db->begin().isOk());
    Status failed;
    for (int i = 0; i < 50000 && failed.isOk(); ++i) {
        auto row = identifierRow(1, i);
        failed = t->append(&row);
    }
    if (failed.isOk()) failed = db->commit();
    ASSERT_EQ(failed.code(), Status::Code::IoError) << failed.message();
    auto row = identifierRow(2, 0);
    EXPECT_FALSE(t->append(&row).isOk()) << "after a failure only rollback";
    EXPECT_FALSE(db->commit().isOk());
    ASSERT_TRUE(db->rollback().isOk());
    EXPECT_EQ(*layer->content("/mem/db.mdb"), original);

    layer->setSpaceLimit(UINT64_MAX);
    ASSERT_TRUE(db->begin().isOk());
    for (int i = 0; i < 20000; ++i) {
        auto again = identifierRow(1, i);
        ASSERT_TRUE(t->append(&again).isOk()) << i;
    }
    ASSERT_TRUE(db->commit().isOk());
    EXPECT_EQ(readAll(*db, "downloadovane_identifikatory").size(), 20000u);
    CheckReport r;
    ASSERT_TRUE(checkDatabase(*db, &r).isOk());
    for (const std::string& p : r.problems) ADD_FAILURE() << p;
}
