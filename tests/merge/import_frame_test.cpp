// The frame of an import run on real files: name and version checks. The
// question and whole runs are checked against worked-out rows by the
// whole-merge tests.
#include <gtest/gtest.h>

#include <filesystem>

#include "merge/import_run.h"
#include "support/merge_fixture.h"
#include "support/files.h"

namespace merge {
namespace {

namespace fs = std::filesystem;
using testing::RecordingUi;

const char* kVersionTail = "\r\n\r\nSkúste upgradovať databázový súbor, prípadne používať inú verziu tejto aplikácie";

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

} // namespace
} // namespace merge
