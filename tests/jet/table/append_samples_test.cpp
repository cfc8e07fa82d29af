// Appends to copies of Access-written files: every row of every user table
// is appended again (rows whose keys are unique come back refused), then
// the files read back with the new rows, check clean and export whole.
#include "support/database.h"

#include <map>

using namespace test_db;

TEST(AppendSamples, EveryRowAppendedAgainReadsBackAndChecksClean) {
    const auto samples = test_files::jet4Samples();
    if (samples.empty()) GTEST_SKIP() << "no Access-written samples at " VELMORANT_JET_SAMPLES;
    std::size_t added = 0;
    for (const fs::path& sample : samples) {
        SCOPED_TRACE(sample.filename().string());
        Scratch file(sample, sample.filename().string());
        std::map<std::string, std::size_t> expected; // rows of each table taking rows
        {
            auto db = openWritable(file.path());
            ASSERT_TRUE(db && db->begin().ok());
            for (const std::string& name : db->userTables()) {
                auto rows = readAll(*db, name);
                auto t = openTable(*db, name);
                if (!t->canAppend().ok()) continue;
                expected[name] = rows.size();
                for (auto& row : rows) {
                    Status s = t->append(&row);
                    if (s.ok()) ++expected[name], ++added;
                    else EXPECT_EQ(s.code(), Status::Code::Refused) << name << ": " << s.message();
                }
            }
            ASSERT_TRUE(db->commit().ok());
        }
        auto db = openWritable(file.path());
        for (const auto& [name, rows] : expected) {
            EXPECT_EQ(readAll(*db, name).size(), rows) << name;
            EXPECT_EQ(openTable(*db, name)->rowCount(), rows) << name;
        }
        db.reset();
        expectCleanCheck(file.path());
        for (const auto& [name, rows] : expected)
            if (haveMdbExport()) {
                EXPECT_EQ(mdbExport(file.path(), name).size(), rows) << name;
            }
    }
    EXPECT_GT(added, 100u);
}
