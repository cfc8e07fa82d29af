// velmorant-cli merge, run as a program. Generated files are merged by the
// whole-merge and pinned-result tests.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/process.h"

namespace {

namespace fs = std::filesystem;

struct CliRun {
    int exit = -1;
    std::string out;
};

CliRun cli(const std::string& arguments, const std::string& input = "", const char* command = "merge") {
    const test_files::ProgramRun r = test_files::cli(std::string(command) + " " + arguments, input);
    return {r.exit, r.out + r.err};
}

class CliMerge : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(test_files::cliPath())) GTEST_SKIP() << "velmorant-cli not built";
        for (const char* f : {"blank.mdb", "sample.mdb", "narrow.mdb"}) dir_.copy(test_files::testData(f), f);
    }
    std::string file(const char* name) { return test_files::quoted(dir_ / name); }
    test_files::ScratchDir dir_{"merge-cli"};
};

TEST_F(CliMerge, UsageMissingFilesAndRefusedQuestion) {
    EXPECT_EQ(cli(file("blank.mdb")).exit, 2);
    EXPECT_EQ(cli(file("blank.mdb") + " a b c").exit, 2);

    CliRun missing = cli(file("blank.mdb") + " " + file("none.mdb") + " --yes");
    EXPECT_EQ(missing.exit, 1);
    EXPECT_NE(missing.out.find("Neexistuje súbor ktorý má byť importovaný"), std::string::npos);

    CliRun no = cli(file("blank.mdb") + " " + file("sample.mdb"), "n\n");
    EXPECT_EQ(no.exit, 1);
    EXPECT_NE(no.out.find("Želáte si importovať súbor"), std::string::npos);
    EXPECT_NE(no.out.find("Nebola žiadosť o importovanie"), std::string::npos);
}

TEST_F(CliMerge, ConfirmedRunPrintsEveryStep) {
    // Two patrol relations of one device whose patrol rounds are missing
    // both become (0, device): the second is refused.
    CliRun yes = cli(file("blank.mdb") + " " + file("sample.mdb"), "a\n");
    EXPECT_EQ(yes.exit, 1) << yes.out;
    EXPECT_NE(yes.out.find("\nzariadenia copied=23 skipped=7 refused=0\n"), std::string::npos) << yes.out;
    EXPECT_NE(yes.out.find("\nref_obchodzky_zariadenia copied=24 skipped=6 refused=1\n"), std::string::npos);
    EXPECT_NE(yes.out.find("\ndownloadovane_releidentifikatory copied="), std::string::npos);
    EXPECT_NE(yes.out.find("odmietol niektoré riadky:\nref_obchodzky_zariadenia: 1\n"), std::string::npos);

    // Into columns too narrow for some values: the same rows, and the values
    // left out listed after the refused rows.
    CliRun narrow = cli(file("narrow.mdb") + " " + file("sample.mdb") + " --yes");
    EXPECT_EQ(narrow.exit, 1);
    EXPECT_NE(narrow.out.find("\nzariadenia copied=23 skipped=7 refused=0\n"), std::string::npos) << narrow.out;
    EXPECT_NE(narrow.out.find("odmietol niektoré riadky:\nref_obchodzky_zariadenia: 1\n"
                              "Cieľový súbor neprijal niektoré hodnoty; tieto polia zostali prázdne:\n"
                              "zariadenia.kontaktna_osoba: 20\nidentifikatory.cislo_bytu: 56\n"
                              "identifikatory.poschodie: 33\n"),
              std::string::npos);

    // Into a blank file with no such clash the run succeeds.
    ASSERT_EQ(cli(file("sample.mdb"), "", "dump").exit, 0);
    dir_.copy(test_files::testData("blank.mdb"), "empty.mdb");
    CliRun empty = cli(file("sample.mdb") + " " + file("empty.mdb") + " --yes");
    EXPECT_EQ(empty.exit, 0) << empty.out;
    EXPECT_NE(empty.out.find("Import bol úspešný"), std::string::npos);
}

// A trial run prints what the real run prints and leaves the target as it
// was. Two patrol relations of one device whose patrol rounds are missing
// both become (0, device): the second is refused. The counts of every step
// are checked against the plan by the whole-merge tests.
TEST_F(CliMerge, DryRunPrintsTheRealRunAndLeavesTheTargetAsItWas) {
    const fs::path target = dir_.path() / "blank.mdb";
    const std::vector<std::uint8_t> before = test_files::readAll(target);
    const std::string pair = file("blank.mdb") + " " + file("sample.mdb");
    const test_files::ProgramRun trial = test_files::cli("merge " + pair + " --dry-run");
    EXPECT_EQ(test_files::readAll(target), before);
    EXPECT_NE(trial.err.find("Skúšobný beh"), std::string::npos) << trial.err;

    const test_files::ProgramRun real = test_files::cli("merge " + pair + " --yes");
    EXPECT_NE(test_files::readAll(target), before);
    EXPECT_EQ(real.exit, 1);
    EXPECT_EQ(trial.exit, real.exit);
    EXPECT_EQ(trial.out, real.out);
    EXPECT_NE(real.out.find("\nzariadenia copied=23 skipped=7 refused=0\n"), std::string::npos) << real.out;
    EXPECT_NE(real.out.find("odmietol niektoré riadky:\nref_obchodzky_zariadenia: 1\n"), std::string::npos);

    // Into a blank file with no such clash the run succeeds.
    dir_.copy(test_files::testData("blank.mdb"), "empty.mdb");
    const test_files::ProgramRun empty =
        test_files::cli("merge " + file("sample.mdb") + " " + file("empty.mdb") + " --yes");
    EXPECT_EQ(empty.exit, 0) << empty.out;
    EXPECT_NE(empty.out.find("Import bol úspešný"), std::string::npos);
}

} // namespace
