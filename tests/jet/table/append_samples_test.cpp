// Appends to copies of Access-written files: every row of every user table
// is appended again (rows whose keys are unique come back refused), then
// the files read back with the new rows, check clean and export whole.
#include "support/database.h"

#include <algorithm>

#include "jet/table/column_rules.h"

using namespace test_db;

namespace {

using test_files::jet4Samples;

struct Appended {
    std::string table;
    std::size_t before = 0, added = 0;
};

// Appends every row of every user table again; returns what was added.
std::vector<Appended> appendEverythingAgain(const fs::path& file, std::size_t* refusedTables) {
    std::vector<Appended> out;
    auto db = openWritable(file);
    if (!db) return out;
    EXPECT_TRUE(db->begin().ok());
    for (const std::string& name : db->userTables()) {
        auto rows = readAll(*db, name);
        auto t = openTable(*db, name);
        if (Status why = t->canAppend(); !why.ok()) {
            std::cout << file.filename() << " " << name << ": " << why.message() << "\n";
            ++*refusedTables;
            continue;
        }
        Appended a{name, rows.size(), 0};
        for (auto& row : rows) {
            Status s = t->append(&row);
            if (s.ok()) ++a.added;
            else EXPECT_EQ(s.code(), Status::Code::Refused) << name << ": " << s.message();
        }
        out.push_back(a);
    }
    Status s = db->commit();
    EXPECT_TRUE(s.ok()) << s.message();
    return out;
}

} // namespace

TEST(AppendSamples, EveryRowAppendedAgainReadsBackAndChecksClean) {
    const auto samples = jet4Samples();
    if (samples.empty()) GTEST_SKIP() << "no Access-written samples at " VELMORANT_JET_SAMPLES;
    std::size_t added = 0, refusedTables = 0;
    for (const fs::path& sample : samples) {
        SCOPED_TRACE(sample.filename().string());
        Scratch file(sample, sample.filename().string());
        const auto appended = appendEverythingAgain(file.path(), &refusedTables);
        auto db = openWritable(file.path());
        for (const Appended& a : appended) {
            EXPECT_EQ(readAll(*db, a.table).size(), a.before + a.added) << a.table;
            EXPECT_EQ(openTable(*db, a.table)->rowCount(), a.before + a.added) << a.table;
            added += a.added;
        }
        db.reset();
        expectCleanCheck(file.path());
        if (!haveMdbExport()) continue;
        for (const Appended& a : appended)
            EXPECT_EQ(mdbExport(file.path(), a.table).size(), a.before + a.added) << a.table;
    }
    std::cout << "rows appended " << added << ", tables refused " << refusedTables << "\n";
    EXPECT_GT(added, 100u);
}

// Yes/no, byte, int, long, double, date, currency, texts, AutoNumber and
// replication-id columns of an Access-written file.
TEST(AppendSamples, ValuesOfEveryKindInAnAccessFile) {
    const fs::path sample = fs::path(VELMORANT_JET_SAMPLES) / "testV2000.mdb";
    if (!fs::exists(sample)) GTEST_SKIP() << "sample missing: " << sample;
    Scratch file(sample);
    std::vector<Value> typed = {fromUtf8("Ťažký text"), fromUtf8("bbb"), std::int64_t{200}, std::int64_t{-2},
                                std::int64_t{2000000000}, 1e-300, DateTime{-1.25}, Currency{35000}, true};
    std::vector<Value> counted = {Value(), fromUtf8("x")};
    std::vector<Value> replicated = {fromUtf8("y"), Value()};
    {
        auto db = openWritable(file.path());
        auto t1 = openTable(*db, "Table1");
        auto t3 = openTable(*db, "Table3");
        auto t4 = openTable(*db, "Table4");
        ASSERT_TRUE(db->begin().ok());
        auto row = typed;
        ASSERT_TRUE(t1->append(&row).ok());
        for (int i = 0; i < 3; ++i) {
            row = counted;
            ASSERT_TRUE(t3->append(&row).ok());
            counted[0] = row[0];
        }
        row = replicated;
        ASSERT_TRUE(t4->append(&row).ok());
        replicated[1] = row[1];
        ASSERT_TRUE(db->commit().ok());
    }
    EXPECT_TRUE(std::holds_alternative<Guid>(replicated[1]));
    auto db = openWritable(file.path());
    EXPECT_EQ(readAll(*db, "Table1").back(), typed);
    EXPECT_EQ(readAll(*db, "Table3").back(), counted);
    EXPECT_EQ(readAll(*db, "Table4").back(), replicated);
    db.reset();
    expectCleanCheck(file.path());
}

// Required and AllowZeroLength as Access stored them decide Nulls and empty
// texts; a table with a column we cannot store says so up front. Refused
// rows leave the file untouched.
TEST(AppendSamples, ColumnPropertiesAndUnwritableColumnsRefuseRows) {
    const fs::path required = fs::path(VELMORANT_JET_SAMPLES) / "fixedTextTestV2000.mdb";
    const fs::path typed = fs::path(VELMORANT_JET_SAMPLES) / "testV2000.mdb";
    if (!fs::exists(required) || !fs::exists(typed)) GTEST_SKIP() << "samples missing in " VELMORANT_JET_SAMPLES;
    Scratch fixedText(required, "fixed.mdb"), file(typed);
    const std::string before = file.bytes(), fixedBefore = fixedText.bytes();
    {
        auto db = openWritable(fixedText.path());
        auto t = openTable(*db, "users");
        std::vector<ColumnRules> rules;
        ASSERT_TRUE(readColumnRules(impl(*db).pager(), impl(*t).def(), &rules).ok());
        ASSERT_EQ(rules.size(), 10u);
        for (const ColumnRules& r : rules) EXPECT_TRUE(r.required);
        EXPECT_EQ(t->canAppend().code(), Status::Code::Unsupported);
        auto row = readAll(*db, "users").front();
        Status s = t->append(&row);
        EXPECT_EQ(s.code(), Status::Code::Refused);
        EXPECT_EQ(s.message(), t->canAppend().message());
    }
    {
        auto db = openWritable(file.path());
        std::vector<Value> row = {fromUtf8(""), Value(), Value(), Value(), Value(), Value(), Value(), Value(), false};
        Status s = openTable(*db, "Table1")->append(&row);
        EXPECT_EQ(s.code(), Status::Code::Refused) << s.message();
        EXPECT_NE(s.message().find("A"), std::string::npos) << s.message();
    }
    EXPECT_TRUE(file.bytes() == before);
    EXPECT_TRUE(fixedText.bytes() == fixedBefore);
}
