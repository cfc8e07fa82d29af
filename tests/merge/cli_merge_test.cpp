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
        for (const char* f : {"blank.mdb", "sample.mdb"}) dir_.copy(test_files::testData(f), f);
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

    // Into a blank file with no such clash the run succeeds.
    ASSERT_EQ(cli(file("sample.mdb"), "", "dump").exit, 0);
    dir_.copy(test_files::testData("blank.mdb"), "empty.mdb");
    CliRun empty = cli(file("sample.mdb") + " " + file("empty.mdb") + " --yes");
    EXPECT_EQ(empty.exit, 0) << empty.out;
    EXPECT_NE(empty.out.find("Import bol úspešný"), std::string::npos);
}

} // namespace
