// Whole merges with unusual paths: valid names merge into the file they
// name, names that are no file are reported missing. Damaged and foreign
// files are refused by the open tests of hostile input.
#include <gtest/gtest.h>

#include <memory>

#include "hostile_files.h"
#include "jet/check.h"
#include "jet/io/wal.h"
#include "merge/import_run.h"
#include "tests/merge/recording_ui.h"

namespace hostile {
namespace {

namespace fs = std::filesystem;
using merge::ImportResult;
using merge::testing::RecordingUi;

class HostileMerge : public ::testing::Test {
protected:
    fs::path place(const std::string& name, const Bytes& bytes) {
        fs::path path = dir_ / fs::u8path(name);
        fs::create_directories(path.parent_path());
        writeAll(path, bytes);
        return path;
    }
    ImportResult run(const fs::path& target, const fs::path& source, RecordingUi* ui = nullptr) {
        RecordingUi own;
        return merge::ImportDatabase(target.string(), source.string(), maps_, ui ? *ui : own);
    }

    test_files::ScratchDir scratch_{"hostile-merge"};
    const fs::path dir_ = scratch_.path();
    merge::KeyMaps maps_;
};

bool hasLog(const fs::path& file) { return fs::exists(jet::logPathOf(file.string())); }

// Unusual but valid names: the run succeeds and writes the named file. A
// target reached through a symbolic link is merged into the file it names
// and the link stays a link.
TEST_F(HostileMerge, SpacesSlovakLettersLongNamesDotFilesAndLinksAreOrdinaryFiles) {
    Bytes blank = fixture("blank.mdb");
    std::string longFolder;
    for (int i = 0; i < 6; ++i) longFolder += std::string(120, 'a' + i) + "ľščťžýáíé/"; // 1 000 bytes and more
    struct Case {
        std::string target, source, link;
    };
    for (const Case& c : {Case{"Zálohy 2024/cieľová databáza č. 1.mdb", "zdroj s medzerami/ďábelský kôň.mdb"},
                          Case{longFolder + "cieľ.mdb", longFolder + "zdroj.mdb"},
                          Case{".skrytý cieľ.mdb", ".skryté/.zdroj.mdb"},
                          Case{"skutočný/cieľ.mdb", "s.mdb", "odkazy/cieľ.mdb"}}) {
        SCOPED_TRACE(c.target);
        const fs::path real = place(c.target, blank), source = place(c.source, fixture("sample.mdb"));
        fs::path target = real;
        if (!c.link.empty()) {
            target = dir_ / fs::u8path(c.link);
            fs::create_directories(target.parent_path());
            fs::create_symlink(real, target);
        }
        RecordingUi ui;
        ImportResult result = run(target, source, &ui);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, "Želáte si importovať súbor\r\n" + source.string() + "\r\ndo súboru\r\n" +
                                           target.string());
        EXPECT_EQ(result.steps.size(), 27u) << result.outcome;
        EXPECT_FALSE(readAll(real) == blank);
        EXPECT_EQ(fs::is_symlink(target), !c.link.empty());
        EXPECT_FALSE(hasLog(real) || hasLog(target));
        jet::CheckReport report;
        EXPECT_TRUE(jet::checkFile(real.string(), &report).ok() && report.ok());
    }
}

// Names that are no ordinary file: a folder, a name longer than the system
// allows, a link to nothing. The user is told the file is missing.
TEST_F(HostileMerge, NamesThatAreNoFileAreReportedMissing) {
    fs::path blank = place("t.mdb", fixture("blank.mdb"));
    fs::create_directories(dir_ / "priečinok.mdb");
    fs::create_symlink(dir_ / "nikde.mdb", dir_ / "odkaz.mdb");
    for (const fs::path& source : {dir_ / "priečinok.mdb", dir_ / std::string(300, 'x'), dir_ / "odkaz.mdb"}) {
        RecordingUi ui;
        ImportResult result = run(blank, source, &ui);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, "Neexistuje súbor ktorý má byť importovaný");
        EXPECT_FALSE(result.reportedOutcome);
    }
    EXPECT_TRUE(readAll(blank) == fixture("blank.mdb"));
}

} // namespace
} // namespace hostile
