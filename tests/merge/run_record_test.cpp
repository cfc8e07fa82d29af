// The record of runs: where it is, what one entry says, and how the file
// keeps to its size. Whole runs through the window and the command line are
// recorded in the window's tests.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "merge/run_record.h"
#include "support/files.h"

namespace merge {
namespace {

namespace fs = std::filesystem;
using test_files::ScratchDir;

std::string text(const fs::path& file) {
    const auto bytes = test_files::readAll(file);
    return std::string(bytes.begin(), bytes.end());
}

void setEnv(const char* name, const std::string& value) {
#ifdef _WIN32
    ::_putenv_s(name, value.c_str());
#else
    ::setenv(name, value.c_str(), 1);
#endif
}

#ifdef _WIN32
constexpr const char* kEnd = "\r\n";
#else
constexpr const char* kEnd = "\n";
#endif

TEST(RunRecord, EntrySaysWhatTheRunDid) {
    ScratchDir dir;
    const fs::path target = dir.path() / u8"cieľ.mdb";
    fs::copy_file(test_files::testData("blank.mdb"), target);
    ImportResult run;
    run.targetPath = test_files::utf8(target);
    run.sourcePath = test_files::utf8(dir / "nie je.mdb");
    run.answer = mb::ResultYes;
    run.dryRun = true;
    run.seconds = 1.5;
    run.steps = {{"zariadenia", 0, 0, 0, {}, "chýba stĺpec typ_zariadenia"},
                 {"identifikatory", 3, 2, 1, {{"cislo_bytu", 4}, {"poschodie", 1}}, ""}};
    run.outcome = "Prvý riadok:\r\n=== druhý riadok";
    std::string entry = runRecordEntry(run, "velmorant-test 9.9");
    entry = std::regex_replace(entry, std::regex(kEnd), "|");
    const std::string size = std::to_string(fs::file_size(target));
    const std::regex expected("=== \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d [+-]\\d{4} velmorant-test 9\\.9\\|"
                              "Cieľ: " +
                              std::regex_replace(run.targetPath, std::regex(R"([.^$|()\[\]{}*+?\\])"), "\\$&") +
                              " \\(" + size +
                              " bajtov, zmenený \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\)\\|"
                              "Zdroj: .*nie je\\.mdb \\(veľkosť a čas zmeny sa nedajú zistiť\\)\\|"
                              "Skúšobný beh: áno\\|Odpoveď na otázku: Áno\\|"
                              "Kroky \\(skopírované/vynechané/odmietnuté\\):\\|"
                              "  zariadenia 0/0/0 \\(chýba stĺpec typ_zariadenia\\)\\|  identifikatory 3/2/1\\|"
                              "Prázdne polia:\\|  identifikatory\\.cislo_bytu: 4\\|  identifikatory\\.poschodie: 1\\|"
                              "Výsledok:\\|  Prvý riadok:\\|  === druhý riadok\\|Trvanie: 1\\.500 s\\|\\|");
    EXPECT_TRUE(std::regex_match(entry, expected)) << entry;
}

// Past its limit the record keeps its newest entries, whole, in half the
// limit, and the new one after them; a record that cannot be written is a
// status, nothing more.
TEST(RunRecord, FileKeepsToItsLimitDroppingTheOldestEntries) {
    ScratchDir dir;
    const fs::path file = dir / "stav" / "importy.log";
    auto entry = [](int n) { return "=== " + std::to_string(n) + std::string(kEnd) + std::string(90, 'x') + kEnd; };
    const std::uintmax_t limit = 10 * entry(0).size(); // the older half ends just before entry 5
    std::string all;
    for (int n = 0; n < 10; ++n) {
        ASSERT_TRUE(appendRunRecord(file, entry(n), limit).ok());
        all += entry(n);
    }
    EXPECT_EQ(text(file), all);
    ASSERT_TRUE(appendRunRecord(file, entry(10), limit).ok());
    EXPECT_EQ(text(file), entry(5) + entry(6) + entry(7) + entry(8) + entry(9) + entry(10));
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()), 1);

    const fs::path blocked = dir / "subor" / "importy.log";
    test_files::writeAll(blocked.parent_path(), {'x'});
    const jet::Status status = appendRunRecord(blocked, entry(0), limit);
    EXPECT_FALSE(status.ok());
    EXPECT_NE(status.message().find("importy.log"), std::string::npos) << status.message();
}

TEST(RunRecord, PathFollowsTheEnvironment) {
    fs::path path;
#ifdef _WIN32
    setEnv("LOCALAPPDATA", "C:\\Profil\\Local");
    ASSERT_TRUE(runRecordPath(&path).ok());
    EXPECT_EQ(path, fs::path("C:\\Profil\\Local\\Velmorant\\importy.log"));
#else
    setEnv("HOME", "/domov/operátor");
    for (const auto& [state, want] : {std::pair{"/stav", "/stav/velmorant/importy.log"},
                                      {"relatívny", "/domov/operátor/.local/state/velmorant/importy.log"}}) {
        setEnv("XDG_STATE_HOME", state);
        ASSERT_TRUE(runRecordPath(&path).ok()) << state;
        EXPECT_EQ(path, fs::path(want)) << state;
    }
#endif
}

} // namespace
} // namespace merge
