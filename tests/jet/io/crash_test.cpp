// A transaction interrupted at any point leaves the file's original bytes
// untouched until its commit record is on the disk, and, once the file is
// opened again, either the file as it was or the file with the whole
// transaction.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <csignal>
#include <random>
#include <sstream>
#include <thread>

#include "pager_test_util.h"
#include "support/process.h"

namespace jet::testing {
namespace {

using Mode = Pager::Mode;
constexpr std::uint32_t kOldPages = 60;

// Rewrites existing pages (some of them twice) and appends new ones through a
// small cache, so that changed pages go to the log, and added ones to the
// file, in several batches before the commit. Stops at the first failure.
Status runTransaction(std::shared_ptr<FileLayer> layer) {
    std::unique_ptr<Pager> pager;
    JET_TRY(openPager(std::move(layer), Mode::Exclusive, &pager, 16));
    JET_TRY(pager->begin());
    std::mt19937 random(42);
    for (int i = 0; i < 300; ++i) {
        Page page = pageFilled(static_cast<std::uint8_t>(i));
        page.bytes[0] = static_cast<std::uint8_t>(i >> 8);
        std::uint32_t pgno;
        JET_TRY(i % 3 == 2 ? pager->append(page, &pgno) : pager->write(random() % kOldPages, page));
    }
    return pager->commit();
}

// The file's original bytes are overwritten only once the commit record is
// on the disk; readers and the next writer agree on the outcome, old or new.
TEST(CrashTest, EveryInterruptionLeavesTheOldOrTheNewFile) {
    const Bytes oldFile = syntheticFile(kOldPages);
    Bytes newFile;
    std::uint64_t total = 0;
    {
        auto layer = holding({{kDbPath, oldFile}});
        ASSERT_TRUE(runTransaction(layer).ok());
        newFile = *layer->content(kDbPath);
        total = layer->changes();
        ASSERT_FALSE(layer->content(logPathOf(kDbPath)));
    }
    ASSERT_NE(oldFile, newFile);

    int olds = 0, news = 0, recoveries = 0;
    for (std::uint64_t k = 0; k <= total; ++k) {
        auto layer = holding({{kDbPath, oldFile}});
        layer->crashAfter(k);
        // The last two changes delete the log and flush the folder: the file
        // is complete before them.
        ASSERT_EQ(runTransaction(layer).ok(), k + 2 >= total) << k;

        std::mt19937 random(static_cast<unsigned>(k));
        const std::vector<std::pair<const char*, std::function<bool()>>> models = {
            {"every unflushed write reached the disk", [] { return true; }},
            {"no unflushed write reached the disk", [] { return false; }},
            {"some unflushed writes reached the disk", [&] { return random() % 2 == 0; }},
        };
        for (std::size_t m = 0; m < models.size(); ++m) {
            SCOPED_TRACE(::testing::Message() << "crash at change " << k << ", " << models[m].first);
            const Image image = layer->disk(models[m].second);
            ASSERT_EQ(image.size(), image.count(kDbPath) + image.count(logPathOf(kDbPath)));
            const Bytes& file = image.at(kDbPath);
            const bool untouched =
                file.size() >= oldFile.size() && std::equal(oldFile.begin(), oldFile.end(), file.begin());
            const Bytes seen = readerSees(image);
            const bool isNew = seen == newFile;
            ASSERT_TRUE(isNew || seen == oldFile);
            ASSERT_TRUE(untouched || isNew);
            ASSERT_TRUE(isNew || layer->crashed()); // a finished commit is kept
            ASSERT_EQ(recover(image).at(kDbPath), seen);
            isNew ? ++news : ++olds;
            // Putting the file right may itself be interrupted, as often as
            // it takes.
            for (std::uint64_t j = 0; m == 2; ++j) {
                const Image again = recover(image, j);
                ++recoveries;
                ASSERT_EQ(recover(again).at(kDbPath), seen) << "recovery cut at change " << j;
                if (!again.count(logPathOf(kDbPath))) break;
            }
        }
    }
    EXPECT_GT(olds, 0);
    EXPECT_GT(news, 0);
    EXPECT_GT(recoveries, 0);
}

// A real process (velmorant-test-child write) killed in the middle of a
// transaction or of its commit; it says when it is about to commit.
TEST(KillTest, KilledInTheMiddleOfATransactionOrDuringCommit) {
    ScratchDir dir;
    const std::string path = utf8(dir.path() / u8"kópia databázy.mdb");
    const Bytes oldFile = syntheticFile(kOldPages);
    Bytes newFile = oldFile; // what the child's steps up to its commit make of it
    for (std::uint32_t i = 0; i <= 400; ++i) {
        if (i % 2) std::fill_n(newFile.begin() + std::size_t{i % kOldPages} * kPageSize, kPageSize, 0xEE);
        else newFile.insert(newFile.end(), kPageSize, 0xEF);
    }
    const auto killedAfter = [&](bool reachCommit, unsigned delayMicros) {
        writeAll(pathOf(path), oldFile);
        test_files::Child child(test_files::testChild({"write", path, reachCommit ? "1" : "0"}));
        char c = 0;
        EXPECT_TRUE(child.read(&c) && c == 'c');
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicros));
        EXPECT_TRUE(child.kill()) << "the child ended on its own";
        const bool logLeft = fs::exists(pathOf(logPathOf(path)));
        std::unique_ptr<Pager> pager;
        EXPECT_TRUE(Pager::open(path, Mode::Exclusive, &pager).ok());
        pager.reset();
        return std::make_pair(logLeft, readAll(pathOf(path)));
    };
    EXPECT_EQ(killedAfter(false, 2000), std::make_pair(true, oldFile));
    int olds = 0, news = 0;
    for (unsigned delay : {0u, 200u, 1000u, 3000u, 10000u, 50000u}) {
        const Bytes after = killedAfter(true, delay).second;
        ASSERT_TRUE(after == oldFile || after == newFile) << delay;
        after == oldFile ? ++olds : ++news;
    }
    std::printf("killed during commit: %d rolled back, %d kept\n", olds, news);
}

#ifndef _WIN32 // a POSIX process, read back by mdbtools
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

#endif

} // namespace
} // namespace jet::testing
