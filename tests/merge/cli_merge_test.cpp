// velmorant-cli merge, run as a program.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sys/wait.h>

#include "merge/writer_needs.h"

namespace {

namespace fs = std::filesystem;

struct CliRun {
    int exit = -1;
    std::string out;
};

CliRun cli(const std::string& arguments, const std::string& input = "") {
    std::string command = "printf '" + input + "' | '" + std::string(VELMORANT_BIN_DIR) +
                          "/velmorant-cli' merge " + arguments + " 2>&1";
    CliRun run;
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
    int status = pclose(pipe);
    run.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class CliMerge : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(fs::path(VELMORANT_BIN_DIR) / "velmorant-cli")) GTEST_SKIP() << "velmorant-cli not built";
        dir_ = fs::temp_directory_path() /
               ("merge-cli-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::create_directories(dir_);
        for (const char* f : {"blank.mdb", "sample.mdb"})
            fs::copy_file(fs::path(VELMORANT_TEST_DATA) / f, dir_ / f, fs::copy_options::overwrite_existing);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string file(const char* name) { return "'" + (dir_ / name).string() + "'"; }
    fs::path dir_;
};

TEST_F(CliMerge, UsageMissingFilesAndRefusedQuestion) {
    EXPECT_EQ(cli(file("blank.mdb")).exit, 2);
    EXPECT_EQ(cli(file("blank.mdb") + " a b c").exit, 2);

    CliRun missing = cli(file("blank.mdb") + " " + file("none.mdb") + " --yes");
    EXPECT_EQ(missing.exit, 1);
    EXPECT_NE(missing.out.find("Neexistuje súbor ktorý má byť importovaný"), std::string::npos);

    CliRun no = cli(file("blank.mdb") + " " + file("sample.mdb"), "n\\n");
    EXPECT_EQ(no.exit, 1);
    EXPECT_NE(no.out.find("Želáte si importovať súbor"), std::string::npos);
    EXPECT_NE(no.out.find("Nebola žiadosť o importovanie"), std::string::npos);
}

TEST_F(CliMerge, ConfirmedRunPrintsEveryStep) {
    if (!merge::writer::kWriterAvailable) GTEST_SKIP() << "writer not available yet";
    CliRun yes = cli(file("blank.mdb") + " " + file("sample.mdb"), "a\\n");
    EXPECT_EQ(yes.exit, 0) << yes.out;
    EXPECT_NE(yes.out.find("\nzariadenia copied="), std::string::npos);
    EXPECT_NE(yes.out.find("\ndownloadovane_releidentifikatory copied="), std::string::npos);
    EXPECT_NE(yes.out.find("Import bol úspešný"), std::string::npos);
}

} // namespace
