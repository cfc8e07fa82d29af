// velmorant-cli merge killed at points spread over its run, the target read
// back by mdbtools: a POSIX process, so this test is not built for Windows.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <map>
#include <sstream>

#include "support/pager.h"
#include "support/process.h"

namespace jet::testing {
namespace {

using Mode = Pager::Mode;

// A real merge killed at points spread over its run. Until the commit record
// is on the disk, other programs find the target as it was; once the next
// run of ours has opened it, it is the old file or the merged one.
class KilledMergeTest : public ::testing::Test {
protected:
    static constexpr int kScale = 25; // files of about 28 MB, a merge of some 0.3 s

    static void SetUpTestSuite() {
        if (!test_files::haveMdbExport()) return;
        files_ = std::make_unique<ScratchDir>("killed-merge");
        const std::string generate = test_files::quoted(test_files::cliPath()) + " generate ";
        const std::string scale = " --scale " + std::to_string(kScale);
        target_ = files_->file("target.mdb");
        source_ = files_->file("source.mdb");
        ASSERT_EQ(test_files::run(generate + target_ + " --seed 1" + scale).exit, 0);
        ASSERT_EQ(
            test_files::run(generate + source_ + " --seed 2" + scale + " --share-identifiers-with " + target_).exit, 0);
    }
    static void TearDownTestSuite() { files_.reset(); }

    // Starts the merge into `work`; its output goes nowhere.
    static pid_t startMerge(const std::string& work) {
        pid_t child = ::fork();
        if (child == 0) {
            int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 1);
            ::dup2(null, 2);
            const std::string cli = test_files::cliPath().string();
            ::execl(cli.c_str(), cli.c_str(), "merge", work.c_str(), source_.c_str(), "--yes", nullptr);
            ::_exit(127);
        }
        return child;
    }

    // Every table as mdb-export prints it (the output, or the failure).
    static std::map<std::string, std::string> exported(const std::string& file) {
        std::map<std::string, std::string> out;
        const test_files::ProgramRun tables = test_files::run("mdb-tables -1 '" + file + "'");
        out[""] = tables.exit == 0 ? "" : tables.err;
        std::istringstream names(tables.out);
        for (std::string name; std::getline(names, name);) {
            const test_files::ProgramRun table = test_files::run("mdb-export '" + file + "' '" + name + "'");
            out[name] = table.exit == 0 ? table.out : "failed: " + table.err;
        }
        return out;
    }

    static inline std::unique_ptr<ScratchDir> files_;
    static inline std::string target_, source_;
};

TEST_F(KilledMergeTest, TheTargetStaysWholeForEveryReader) {
    if (!test_files::haveMdbExport()) GTEST_SKIP() << "mdb-export is not installed";
    const Bytes original = readAll(target_);
    const auto originalTables = exported(target_);
    const std::string work = files_->file("work.mdb");
    const auto fresh = [&] { fs::copy_file(target_, work, fs::copy_options::overwrite_existing); };
    // The whole run twice, the faster one counts: the first one reads the
    // files from the disk.
    double whole = 1e9;
    int status = 0;
    for (int i = 0; i < 2; ++i) {
        fresh();
        const auto start = std::chrono::steady_clock::now();
        ::waitpid(startMerge(work), &status, 0);
        whole = std::min(whole, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        ASSERT_TRUE(WIFEXITED(status)); // some rows of the generated pair are refused
    }
    const Bytes merged = readAll(work);
    ASSERT_GT(merged.size(), original.size());
    ASSERT_GT(originalTables.size(), 27u);
    std::printf("the whole merge: %.2f s\n", whole);

    int beforeCommit = 0, insideTransaction = 0;
    for (double at : {0.2, 0.4, 0.6, 0.8}) {
        SCOPED_TRACE(::testing::Message() << "killed at " << at * 100 << " % of the run");
        fresh();
        const pid_t child = startMerge(work);
        ::usleep(static_cast<useconds_t>(at * whole * 1e6));
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        if (!WIFSIGNALED(status)) { // faster than the first time
            EXPECT_EQ(readAll(work), merged);
            continue;
        }
        // Other programs first, before any of ours has opened the file.
        const Bytes killed = readAll(work);
        const bool untouched =
            killed.size() >= original.size() && std::equal(original.begin(), original.end(), killed.begin());
        const bool inTransaction = fs::exists(logPathOf(work));
        const bool readable = exported(work) == originalTables;

        std::unique_ptr<Pager> pager;
        ASSERT_TRUE(Pager::open(work, Mode::ReadOnly, &pager).ok());
        const Bytes seen = allPages(*pager);
        pager.reset();
        ASSERT_TRUE(seen == original || seen == merged);
        std::printf("killed at %.0f %% of the run: %s the commit record\n", at * 100,
                    seen == original ? "before" : "after");
        if (seen == original) {
            ++beforeCommit;
            insideTransaction += inTransaction;
            EXPECT_TRUE(untouched);
            EXPECT_TRUE(readable);
        }
        ASSERT_TRUE(Pager::open(work, Mode::Exclusive, &pager).ok());
        pager.reset();
        EXPECT_EQ(readAll(work), seen);
        EXPECT_FALSE(fs::exists(logPathOf(work)));
    }
    EXPECT_GE(beforeCommit, 2);
    EXPECT_GE(insideTransaction, 1); // not all before the transaction began
}

} // namespace
} // namespace jet::testing
