// Appends to copies of Access-written files: every row of every user table
// is appended again (rows whose keys are unique come back refused), then
// the files read back with the new rows, check clean and export whole.
#include "support/database.h"

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
