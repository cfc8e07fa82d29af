// Dumps every fixture and every Access-written Jet 4 sample and compares the
// result byte for byte with the dump made by a trusted reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "jet/db/database_impl.h"
#include "jet/dump_json.h"
#include "support/files.h"

namespace fs = std::filesystem;

namespace {

// Dumps `mdb` and compares with the file `expected`, showing where they part.
void expectDump(const fs::path& mdb, const fs::path& expected) {
    std::unique_ptr<jet::Database> db;
    jet::Status s = jet::Database::open(mdb.string(), jet::Pager::Mode::ReadOnly, &db);
    ASSERT_TRUE(s.ok()) << mdb << ": " << s.message();
    std::ostringstream out;
    s = jet::writeDump(*db, out);
    EXPECT_TRUE(s.ok()) << mdb << ": " << s.message();
    const auto bytes = test_files::readAll(expected);
    const std::string got = out.str(), want(bytes.begin(), bytes.end());
    if (got == want) return;
    const std::size_t at = std::mismatch(got.begin(), got.end(), want.begin(), want.end()).first - got.begin();
    const std::size_t from = at < 80 ? 0 : at - 80;
    ADD_FAILURE() << mdb << " differs at byte " << at << "\n ours:     " << got.substr(from, 160)
                  << "\n expected: " << want.substr(from, 160);
}

} // namespace

// The Access-written samples only where they are at hand.
TEST(Dump, FixturesAndAccessSamplesMatchTheirDumps) {
    const auto files = test_files::mdbFilesIn(VELMORANT_TEST_DATA);
    EXPECT_GE(files.size(), 6u);
    for (const fs::path& f : files) expectDump(f, fs::path(f).replace_extension(".json"));
    for (const fs::path& f : test_files::jet4Samples()) expectDump(f, f.string() + ".json");
}
