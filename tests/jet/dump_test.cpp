// Dumps every fixture and every Access-written Jet 4 sample and compares the
// result with the dump made by a trusted reader: parsed and compared by
// value (doubles by value), and byte for byte.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "jet/database.h"
#include "jet/dump_json.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Numbers compare by value whatever their JSON spelling; everything else exactly.
void expectSameJson(const json& got, const json& want, const std::string& where) {
    if (want.is_number() && got.is_number()) {
        EXPECT_EQ(got.get<double>(), want.get<double>()) << where;
        return;
    }
    ASSERT_EQ(got.type(), want.type()) << where << ": " << got.dump().substr(0, 200);
    if (want.is_object()) {
        ASSERT_EQ(got.size(), want.size()) << where;
        auto g = got.begin();
        for (auto w = want.begin(); w != want.end(); ++w, ++g) {
            ASSERT_EQ(g.key(), w.key()) << where;
            expectSameJson(*g, *w, where + "/" + w.key());
        }
    } else if (want.is_array()) {
        ASSERT_EQ(got.size(), want.size()) << where;
        for (std::size_t i = 0; i < want.size(); ++i) expectSameJson(got[i], want[i], where + "[" + std::to_string(i) + "]");
    } else {
        EXPECT_EQ(got, want) << where;
    }
}

struct Outcome {
    int compared = 0, byteExact = 0;
};

// Dumps `mdb` and compares with `expected`; returns whether it was byte-exact.
bool checkDump(const fs::path& mdb, const fs::path& expected) {
    std::unique_ptr<jet::Database> db;
    jet::Status s = jet::Database::open(mdb.string(), jet::Pager::Mode::ReadOnly, &db);
    EXPECT_TRUE(s) << mdb << ": " << s.message();
    if (!s) return false;
    std::ostringstream out;
    s = jet::writeDump(*db, out);
    EXPECT_TRUE(s) << mdb << ": " << s.message();
    std::string want = readFile(expected);
    // ordered_json keeps the key order, which the format fixes.
    expectSameJson(nlohmann::ordered_json::parse(out.str()), nlohmann::ordered_json::parse(want),
                   mdb.filename().string());
    return out.str() == want;
}

bool isJet3Sample(const fs::path& p) { return p.stem().string().ends_with("V1997"); }

} // namespace

TEST(Dump, FixturesMatchTheirDumpsByteForByte) {
    int files = 0;
    for (const auto& e : fs::directory_iterator(VELMORANT_TEST_DATA)) {
        if (e.path().extension() != ".mdb") continue;
        ++files;
        fs::path expected = e.path();
        expected.replace_extension(".json");
        EXPECT_TRUE(checkDump(e.path(), expected)) << e.path() << " differs in layout";
    }
    EXPECT_GE(files, 6);
}

TEST(Dump, AccessSamplesMatchTheirDumps) {
    if (!fs::is_directory(VELMORANT_JET_SAMPLES)) GTEST_SKIP() << "no Access samples at " << VELMORANT_JET_SAMPLES;
    Outcome o;
    for (const auto& e : fs::directory_iterator(VELMORANT_JET_SAMPLES)) {
        if (e.path().extension() != ".mdb" || isJet3Sample(e.path())) continue;
        ++o.compared;
        if (checkDump(e.path(), e.path().string() + ".json")) ++o.byteExact;
    }
    std::cout << o.byteExact << " of " << o.compared << " Jet 4 samples match byte for byte\n";
    EXPECT_GT(o.compared, 0);
    EXPECT_EQ(o.byteExact, o.compared);
}

TEST(Dump, Jet3SamplesAreRefusedAsUnsupported) {
    if (!fs::is_directory(VELMORANT_JET_SAMPLES)) GTEST_SKIP() << "no Access samples at " << VELMORANT_JET_SAMPLES;
    int seen = 0;
    for (const auto& e : fs::directory_iterator(VELMORANT_JET_SAMPLES)) {
        if (e.path().extension() != ".mdb" || !isJet3Sample(e.path())) continue;
        ++seen;
        std::unique_ptr<jet::Database> db;
        jet::Status s = jet::Database::open(e.path().string(), jet::Pager::Mode::ReadOnly, &db);
        EXPECT_EQ(s.code(), jet::Status::Code::Unsupported) << e.path();
        EXPECT_NE(s.message().find("Jet 3"), std::string::npos) << s.message();
    }
    EXPECT_GT(seen, 0);
}
