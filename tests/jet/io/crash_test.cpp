// A transaction interrupted at any point leaves, once the file is opened
// again, either the file as it was or the file with the whole transaction.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>

#include "support/fault_file_layer.h"
#include "support/process.h"
#include "jet/io/journal.h"
#include "jet/io/pager.h"
#include "pager_test_util.h"

namespace jet::testing {
namespace {

using Mode = Pager::Mode;
constexpr std::uint32_t kOldPages = 60;
constexpr const char* kDbPath = "/disk/db.mdb";

// Rewrites existing pages (some of them twice) and appends new ones through a
// small cache, so that pages are written out, and their originals journaled,
// in several batches before the commit. Stops at the first failure.
Status runTransaction(std::shared_ptr<FileLayer> layer) {
    Pager::Options options;
    options.cachePages = 16;
    options.file = std::move(layer);
    std::unique_ptr<Pager> pager;
    JET_TRY(Pager::open(kDbPath, Mode::Exclusive, options, &pager));
    JET_TRY(pager->begin());
    std::mt19937 random(42);
    for (int i = 0; i < 300; ++i) {
        Page page = pageFilled(static_cast<std::uint8_t>(i));
        page.bytes[0] = static_cast<std::uint8_t>(i >> 8);
        if (i % 3 == 2) {
            std::uint32_t pgno;
            JET_TRY(pager->append(page, &pgno));
        } else {
            JET_TRY(pager->write(random() % kOldPages, page));
        }
    }
    return pager->commit();
}

struct Outcome {
    Bytes oldFile;
    Bytes newFile;
};

// What the real pager makes of a disk image after a crash.
Bytes reopen(const std::map<std::string, Bytes>& image) {
    ScratchDir dir;
    std::string db = dir.file("db.mdb");
    for (const auto& [path, bytes] : image) {
        if (path == kDbPath) writeAll(db, bytes);
        else if (path == journalPathOf(kDbPath)) writeAll(journalPathOf(db), bytes);
        else ADD_FAILURE() << "unexpected file " << path;
    }
    std::unique_ptr<Pager> pager;
    Status st = Pager::open(db, Mode::Exclusive, &pager);
    EXPECT_TRUE(st.ok()) << st.message();
    pager.reset();
    EXPECT_FALSE(std::filesystem::exists(journalPathOf(db)));
    return readAll(db);
}

TEST(CrashTest, EveryInterruptionLeavesTheOldOrTheNewFile) {
    Outcome expected;
    expected.oldFile = syntheticFile(kOldPages);
    std::uint64_t total = 0;
    {
        auto layer = std::make_shared<FaultFileLayer>();
        layer->put(kDbPath, expected.oldFile);
        ASSERT_TRUE(runTransaction(layer).ok());
        expected.newFile = *layer->content(kDbPath);
        total = layer->changes();
        ASSERT_FALSE(layer->content(journalPathOf(kDbPath)));
    }
    ASSERT_NE(expected.oldFile, expected.newFile);
    std::printf("%llu changes to the disk in the transaction\n",
                static_cast<unsigned long long>(total));

    int olds = 0, news = 0;
    for (std::uint64_t k = 0; k <= total; ++k) {
        auto layer = std::make_shared<FaultFileLayer>();
        layer->put(kDbPath, expected.oldFile);
        layer->crashAfter(k);
        Status st = runTransaction(layer);
        // The last change flushes the journal's deletion: the transaction
        // has taken effect before it, and a crash there loses nothing but
        // the certainty that the deletion itself is durable.
        ASSERT_EQ(st.ok(), k + 1 >= total) << k;

        std::mt19937 random(static_cast<unsigned>(k));
        std::vector<std::pair<const char*, std::function<bool()>>> models = {
            {"every unflushed write reached the disk", [] { return true; }},
            {"no unflushed write reached the disk", [] { return false; }},
            {"some unflushed writes reached the disk", [&] { return random() % 2 == 0; }},
        };
        for (auto& [model, reached] : models) {
            Bytes after = reopen(layer->disk(reached));
            bool isOld = after == expected.oldFile, isNew = after == expected.newFile;
            ASSERT_TRUE(isOld || isNew) << "crash at change " << k << ", " << model;
            ASSERT_TRUE(isNew || layer->crashed()) << model; // a finished commit is kept
            isOld ? ++olds : ++news;
        }
    }
    EXPECT_GT(olds, 0);
    EXPECT_GT(news, 0);
}

// A real process killed in the middle of a transaction or of its commit.
class KillTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = utf8(dir_.path() / u8"kópia databázy.mdb");
        oldFile_ = syntheticFile(kOldPages);
        writeAll(pathOf(path_), oldFile_);
    }

    // Runs a transaction in another process (velmorant-test-child write),
    // which says when it is about to commit, then kills it after `delayMicros`.
    void killDuringTransaction(bool reachCommit, unsigned delayMicros) {
        test_files::Child child(test_files::testChild({"write", path_, reachCommit ? "1" : "0"}));
        char c = 0;
        ASSERT_TRUE(child.read(&c) && c == 'c');
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicros));
        ASSERT_TRUE(child.kill()) << "the child ended on its own";
    }

    // The file after the child's transaction up to its commit.
    Bytes newFile() const {
        Bytes bytes = oldFile_;
        for (std::uint32_t i = 0; i <= 400; ++i) {
            if (i % 2)
                std::fill_n(bytes.begin() + std::size_t{i % kOldPages} * kPageSize, kPageSize, 0xEE);
            else
                bytes.insert(bytes.end(), kPageSize, 0xEF);
        }
        return bytes;
    }

    ScratchDir dir_;
    std::string path_;
    Bytes oldFile_;
};

TEST_F(KillTest, KilledInTheMiddleOfATransactionOrDuringCommit) {
    auto recovered = [&] {
        std::unique_ptr<Pager> pager;
        EXPECT_TRUE(Pager::open(path_, Mode::Exclusive, &pager).ok());
        pager.reset();
        return readAll(pathOf(path_));
    };
    killDuringTransaction(false, 2000);
    EXPECT_TRUE(std::filesystem::exists(pathOf(journalPathOf(path_))));
    EXPECT_EQ(recovered(), oldFile_);

    int olds = 0, news = 0;
    for (unsigned delay : {0u, 200u, 1000u, 3000u, 10000u, 50000u}) {
        writeAll(pathOf(path_), oldFile_);
        killDuringTransaction(true, delay);
        const Bytes after = recovered();
        ASSERT_TRUE(after == oldFile_ || after == newFile()) << delay;
        after == oldFile_ ? ++olds : ++news;
    }
    std::printf("killed during commit: %d rolled back, %d kept\n", olds, news);
}

} // namespace
} // namespace jet::testing
