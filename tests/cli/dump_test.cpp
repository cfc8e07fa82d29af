// velmorant-cli dump: output on standard output, messages on standard
// error, and the exit status 0 / 1 / 2.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

struct CliRun {
    int status = -1;
    std::string out, err;
};

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

CliRun cli(const std::string& args) {
    fs::path dir = fs::temp_directory_path();
    std::string tag = std::to_string(::getpid());
    fs::path out = dir / ("velmorant-cli-out-" + tag), err = dir / ("velmorant-cli-err-" + tag);
    std::string cmd = std::string(VELMORANT_BIN_DIR) + "/velmorant-cli " + args + " >" + out.string() + " 2>" + err.string();
    CliRun r;
    int raw = std::system(cmd.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = slurp(out);
    r.err = slurp(err);
    fs::remove(out);
    fs::remove(err);
    return r;
}

const std::string kData = VELMORANT_TEST_DATA;

} // namespace

TEST(CliDump, PrintsTheDumpOfADatabase) {
    CliRun r = cli("dump " + kData + "/sample.mdb");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, slurp(kData + "/sample.json"));
    EXPECT_EQ(r.err, "");
}

TEST(CliDump, FileProblemsExitWithOne) {
    CliRun r = cli("dump " + kData + "/missing.mdb");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err, "");
    r = cli("dump " + kData + "/schema.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("schema.txt"), std::string::npos) << r.err;
}

TEST(CliDump, WrongUsageExitsWithTwo) {
    EXPECT_EQ(cli("").status, 2);
    EXPECT_EQ(cli("dump").status, 2);
    EXPECT_EQ(cli("dump a.mdb b.mdb").status, 2);
    EXPECT_EQ(cli("frobnicate x.mdb").status, 2);
    CliRun help = cli("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("dump"), std::string::npos);
}
