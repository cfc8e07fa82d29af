// The frame of an import run on real files: name checks, exclusive opens,
// version checks and the confirmation question.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "jet/database.h"
#include "merge/import_run.h"
#include "recording_ui.h"
#include "support/files.h"

namespace merge {
namespace {

namespace fs = std::filesystem;
using testing::RecordingUi;

const char* kVersionTail = "\r\n\r\nSkúste upgradovať databázový súbor, prípadne používať inú verziu tejto aplikácie";

std::string contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class ImportFrame : public ::testing::Test {
protected:
    // A fresh copy of a fixture file; returns its path.
    std::string copy(const std::string& fixture, const std::string& as) {
        return dir_.copy(test_files::testData(fixture), as).string();
    }
    ImportResult run(const std::string& target, const std::string& source) {
        return ImportDatabase(target, source, maps_, ui_);
    }

    test_files::ScratchDir dir_{"merge-frame"};
    KeyMaps maps_;
    RecordingUi ui_;
};

TEST_F(ImportFrame, MissingFilesAreReportedAtOnceWithFocus) {
    std::string blank = copy("blank.mdb", "t.mdb");
    ImportResult result = run("  ", "");
    ASSERT_EQ(ui_.messages.size(), 1u); // only the target's message
    EXPECT_EQ(ui_.messages[0].text, "Neexistuje súbor, do ktorého má byť vykonané importovanie");
    EXPECT_EQ(ui_.messages[0].flags, 48);
    EXPECT_EQ(ui_.events, std::vector<std::string>{"focus target"});
    EXPECT_FALSE(result.reportedOutcome);
    EXPECT_TRUE(ui_.outcomes.empty());

    RecordingUi ui;
    ImportDatabase(blank, dir_.file("missing.mdb"), maps_, ui);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Neexistuje súbor ktorý má byť importovaný");
    EXPECT_EQ(ui.events, std::vector<std::string>{"focus source"});

    RecordingUi folder; // a folder is not a file
    ImportDatabase(dir_.path().string(), blank, maps_, folder);
    EXPECT_EQ(folder.events, std::vector<std::string>{"focus target"});
}

TEST_F(ImportFrame, SameFileTwiceFailsOnTheSecondOpen) {
    std::string blank = copy("blank.mdb", "t.mdb");
    ImportResult result = run(" " + blank + " ", blank);
    ASSERT_EQ(ui_.outcomes.size(), 1u);
    EXPECT_EQ(result.outcomeFlags, 48);
    EXPECT_EQ(result.outcome.rfind("Nie je možné otvoriť súbor\r\n" + blank + "\r\n", 0), 0u) << result.outcome;
    EXPECT_GT(result.outcome.size(), ("Nie je možné otvoriť súbor\r\n" + blank + "\r\n").size());
    EXPECT_TRUE(ui_.messages.empty());

    // Both files were closed again: the next run opens them.
    RecordingUi again;
    again.answer = mb::ResultNo;
    ImportDatabase(blank, copy("blank.mdb", "s.mdb"), maps_, again);
    EXPECT_EQ(again.outcomes.at(0).text, "Nebola žiadosť o importovanie");
}

TEST_F(ImportFrame, WrongVersionsAreRefusedNamingTheFile) {
    std::string target = copy("version-3161.mdb", "t.mdb");
    std::string source = copy("no-version.mdb", "s.mdb");
    run(target, source);
    EXPECT_EQ(ui_.outcomes.at(0).text,
              "Nekorektná verzia databázy:Tarvexon 3.161\r\n\r\nMá byť:Tarvexon 3.162\r\n" + target + kVersionTail);
    EXPECT_EQ(ui_.outcomes.at(0).flags, 48);

    for (const char* fixture : {"version-trailing-blank.mdb", "version-lowercase.mdb"}) {
        RecordingUi ui;
        ImportResult result = ImportDatabase(copy("blank.mdb", "t2.mdb"), copy(fixture, "s2.mdb"), maps_, ui);
        EXPECT_EQ(result.outcome.rfind("Nekorektná verzia databázy:", 0), 0u) << fixture;
        EXPECT_NE(result.outcome.find("s2.mdb"), std::string::npos) << fixture;
        EXPECT_TRUE(ui.messages.empty());
    }

    RecordingUi missing;
    std::string blank = copy("blank.mdb", "t3.mdb");
    ImportResult result = ImportDatabase(blank, source, maps_, missing);
    EXPECT_EQ(result.outcome, "Nekorektná verzia databázy:\r\n\r\nMá byť:Tarvexon 3.162\r\n" + source + kVersionTail);
}

TEST_F(ImportFrame, AnswerOtherThanYesWritesNothing) {
    std::string target = copy("blank.mdb", "t.mdb");
    std::string source = copy("sample.mdb", "s.mdb");
    std::string before = contents(target);
    maps_.colRefZariadenie.append({1, 2}); // left over from an earlier run
    for (int answer : {mb::ResultNo, mb::ResultCancel}) {
        RecordingUi ui;
        ui.answer = answer;
        ImportResult result = ImportDatabase("  " + target, source + "  ", maps_, ui);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text,
                  "Želáte si importovať súbor\r\n" + source + "\r\ndo súboru\r\n" + target);
        EXPECT_EQ(ui.messages[0].flags, 291);
        EXPECT_EQ(result.outcome, "Nebola žiadosť o importovanie");
        EXPECT_EQ(result.outcomeFlags, 48);
        EXPECT_TRUE(ui.events.empty());
    }
    EXPECT_TRUE(contents(target) == before);
    EXPECT_EQ(maps_.MapZariadenie(1), 0); // every run starts from empty maps
}

// The rows of a table as an independent reader sees them, one string per
// row with fields separated by \x1f.
std::vector<std::string> exportedRows(const std::string& file, std::string_view table) {
    std::string command = "mdb-export -H -e -Q -d \"$(printf '\\037')\" '" + file + "' " + std::string(table);
    std::vector<std::string> rows;
    FILE* pipe = popen(command.c_str(), "r");
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
    pclose(pipe);
    for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        rows.push_back(text.substr(start, end - start));
    return rows;
}

std::string field(const std::string& row, int index) {
    std::size_t start = 0;
    for (int i = 0; i < index; ++i) start = row.find('\x1f', start) + 1;
    return row.substr(start, row.find('\x1f', start) - start);
}

// Whole merges.
using ImportWrites = ImportFrame;

TEST_F(ImportWrites, SampleIntoBlankCopiesAndNumbersFromOne) {
    std::string target = copy("blank.mdb", "t.mdb");
    std::string source = copy("sample.mdb", "s.mdb");
    ImportResult result = run(target, source);
    // Two patrol relations of one device whose patrol rounds are missing
    // both become (0, device): the target refuses the second.
    EXPECT_EQ(result.outcome,
              "Import bol dokončený, ale cieľový súbor odmietol niektoré riadky:\r\nref_obchodzky_zariadenia: 1");
    ASSERT_EQ(result.steps.size(), 27u);
    EXPECT_GT(result.steps[0].copied, 0);
    EXPECT_GT(result.steps[0].skipped, 0); // types 0, 10, 12 and Null
    EXPECT_EQ(maps_.colRefZariadenie.entries().front().IdNovehoZariadenia, 1);
    EXPECT_EQ(ui_.events.back(), "progress ");

    // What the counts say is what another reader finds in the file.
    for (const StepCounts& step : result.steps)
        EXPECT_EQ(exportedRows(target, step.table).size(), static_cast<std::size_t>(step.copied)) << step.table;
    for (const char* untouched : {"alarmy", "udalosti", "ini_subor", "zony_pritomnosti"})
        EXPECT_TRUE(exportedRows(target, untouched).empty()) << untouched;
    for (const std::string& row : exportedRows(target, "zariadenia")) {
        EXPECT_EQ(field(row, 2), "1");                            // flag_offline
        EXPECT_TRUE(field(row, 10) != "0" && field(row, 10) != "10" && field(row, 10) != "12" &&
                    !field(row, 10).empty());                     // typ_zariadenia
    }
}

// The sample's remote-control keys reach 2147483640: only seven new keys are
// left, the other rows are refused rather than wrapped round.
TEST_F(ImportWrites, SampleIntoItselfRunsOutOfRemoteControlKeys) {
    std::string target = copy("sample.mdb", "t.mdb");
    std::string source = copy("sample.mdb", "s.mdb");
    ImportResult result = run(target, source);
    ASSERT_EQ(result.steps.size(), 27u);
    const StepCounts& remote = result.steps[9];
    EXPECT_EQ(remote.copied, 7);
    EXPECT_EQ(remote.copied + remote.refused, 18);
    EXPECT_NE(result.outcome.find("\r\ndialkove_ovladanie_zariadeni: 11"), std::string::npos) << result.outcome;
    EXPECT_EQ(result.steps[5].copied, 0); // every identifier is there already
    EXPECT_EQ(maps_.colRefZariadenie.entries().front().IdNovehoZariadenia, 739);
    std::vector<std::string> keys;
    for (const std::string& row : exportedRows(target, "dialkove_ovladanie_zariadeni")) keys.push_back(field(row, 0));
    EXPECT_EQ(std::count(keys.begin(), keys.end(), "2147483647"), 1);
}

// A source table that turns out damaged half way through the run stops it;
// the target keeps none of the rows copied before.
TEST_F(ImportWrites, DamagedSourceLeavesTheTargetUnchanged) {
    std::string target = copy("blank.mdb", "t.mdb");
    std::string source = copy("sample.mdb", "s.mdb");
    std::vector<std::uint32_t> pages;
    {
        std::unique_ptr<jet::Database> db;
        ASSERT_TRUE(jet::Database::open(source, jet::Pager::Mode::ReadOnly, &db).isOk());
        std::unique_ptr<jet::Table> table;
        ASSERT_TRUE(db->openTable("mek_schranky", &table).isOk());
        ASSERT_TRUE(table->dataPages(&pages).isOk());
        ASSERT_FALSE(pages.empty());
    }
    {
        std::fstream file(source, std::ios::in | std::ios::out | std::ios::binary);
        // The page header stays; the row offsets behind it point off the page.
        file.seekp(std::streamoff(pages.back()) * jet::kPageSize + 14);
        std::string garbage(64, '\x5a');
        file.write(garbage.data(), garbage.size());
    }
    std::string before = contents(target);
    ImportResult result = run(target, source);
    EXPECT_EQ(result.outcome.rfind("Import zlyhal, cieľový súbor zostal nezmenený:\r\nmek_schranky: ", 0), 0u)
        << result.outcome;
    EXPECT_EQ(result.outcomeFlags, 48);
    EXPECT_TRUE(result.steps.empty());
    EXPECT_TRUE(contents(target) == before);
}

TEST_F(ImportWrites, SecondMergeOfTheSameSourceAddsNoIdentifiers) {
    std::string target = copy("blank.mdb", "t.mdb");
    std::string source = copy("sample.mdb", "s.mdb");
    ASSERT_EQ(run(target, source).steps.size(), 27u);
    ImportResult second = ImportDatabase(target, source, maps_, ui_);
    ASSERT_EQ(second.steps.size(), 27u);
    EXPECT_EQ(second.steps[5].copied, 0);
    EXPECT_GT(second.steps[5].skipped, 0);
    // The second run's keys continue above the first run's.
    EXPECT_GT(maps_.colRefZariadenie.entries().front().IdNovehoZariadenia, 1);
}

} // namespace
} // namespace merge
