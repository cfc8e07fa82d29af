// Opening, locking, reading and caching of the page file, and transactions
// seen from the outside (what ends up in the file).
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "jet/io/pager.h"
#include "jet/io/wal.h"
#include "pager_test_util.h"
#include "support/process.h"

namespace jet::testing {
namespace {

using Code = Status::Code;
using Mode = Pager::Mode;

Status openFile(const std::string& path, Mode mode, std::unique_ptr<Pager>* out, std::size_t cachePages = 4096) {
    Pager::Options options;
    options.cachePages = cachePages;
    return Pager::open(path, mode, options, out);
}

class PagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        original_ = syntheticFile(40);
        path_ = dir_.file("db.mdb");
        writeAll(path_, original_);
    }
    ScratchDir dir_;
    std::string path_;
    Bytes original_;
};

TEST_F(PagerTest, RefusesWhatCannotBeAJet4File) {
    std::unique_ptr<Pager> pager;
    Status st = Pager::open(dir_.file("missing.mdb"), Mode::Exclusive, &pager);
    EXPECT_EQ(st.code(), Code::NotFound);
    EXPECT_EQ(st.message(), "Súbor neexistuje.");
    EXPECT_EQ(Pager::open(dir_.file("missing-folder/x.mdb"), Mode::ReadOnly, &pager).code(), Code::NotFound);

    for (Mode mode : {Mode::Exclusive, Mode::ReadOnly}) {
        st = Pager::open(dir_.path().string(), mode, &pager);
        EXPECT_EQ(st.code(), Code::NotJet);
        EXPECT_NE(st.message().find("priečinku"), std::string::npos) << st.message();
    }

#ifndef _WIN32
    std::string fifo = dir_.file("pipe.mdb");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(Pager::open(fifo, Mode::ReadOnly, &pager).code(), Code::NotJet); // does not hang
#endif

    EXPECT_EQ(pager, nullptr);
}

TEST_F(PagerTest, ExclusiveOpenShutsOutEveryOtherOpenInThisProcessReadersShare) {
    std::unique_ptr<Pager> first, second;
    ASSERT_TRUE(Pager::open(path_, Mode::Exclusive, &first).ok());
    for (Mode mode : {Mode::Exclusive, Mode::ReadOnly}) {
        Status st = Pager::open(path_, mode, &second);
        EXPECT_EQ(st.code(), Code::Locked);
        EXPECT_EQ(st.message(), "Súbor je otvorený iným programom.");
    }
#ifdef _WIN32
    const std::string link = path_; // links need rights Windows users seldom have
#else
    // Another name for the same file is the same file.
    std::string link = dir_.file("link.mdb");
    ASSERT_EQ(::symlink(path_.c_str(), link.c_str()), 0);
#endif
    EXPECT_EQ(Pager::open(link, Mode::ReadOnly, &second).code(), Code::Locked);
    first.reset();

    ASSERT_TRUE(Pager::open(path_, Mode::ReadOnly, &first).ok());
    ASSERT_TRUE(Pager::open(link, Mode::ReadOnly, &second).ok());
    std::unique_ptr<Pager> writer;
    EXPECT_EQ(Pager::open(path_, Mode::Exclusive, &writer).code(), Code::Locked);
    EXPECT_EQ(first->begin().code(), Code::InvalidArgument);
}

// In a folder and under a name with Slovak letters and spaces.
TEST_F(PagerTest, LockHeldByAnotherProcess) {
    const fs::path folder = dir_.path() / u8"zdieľaný priečinok";
    fs::create_directories(folder);
    const std::string path = utf8(folder / u8"údaje servera č. 1.mdb");
    writeAll(pathOf(path), original_);
    std::unique_ptr<Pager> pager;
    {
        test_files::HeldElsewhere other(path);
        ASSERT_TRUE(other.held());
        for (Mode mode : {Mode::Exclusive, Mode::ReadOnly}) {
            Status st = Pager::open(path, mode, &pager);
            EXPECT_EQ(st.code(), Code::Locked);
            EXPECT_EQ(st.message(), "Súbor je otvorený iným programom.");
        }
    }
    ASSERT_TRUE(Pager::open(path, Mode::Exclusive, &pager).ok());
    ASSERT_TRUE(pager->begin().ok());
    ASSERT_TRUE(pager->write(1, pageFilled(0x11)).ok());
    ASSERT_TRUE(pager->commit().ok());
    EXPECT_FALSE(fs::exists(pathOf(logPathOf(path))));
    pager.reset();
    EXPECT_EQ(pageBytes(readAll(pathOf(path)), 1), Bytes(kPageSize, 0x11));
}

// ---- transactions ----

TEST_F(PagerTest, CommittedChangesReachTheFile) {
    std::unique_ptr<Pager> pager;
    ASSERT_TRUE(openFile(path_, Mode::Exclusive, &pager).ok());
    EXPECT_EQ(pager->write(3, pageFilled(1)).code(), Code::InvalidArgument); // no transaction
    ASSERT_TRUE(pager->begin().ok());
    EXPECT_EQ(pager->begin().code(), Code::InvalidArgument);
    PageRef before;
    ASSERT_TRUE(pager->read(3, &before).ok());
    ASSERT_TRUE(pager->write(3, pageFilled(0xAA)).ok());
    std::uint32_t pgno = 0;
    ASSERT_TRUE(pager->append(pageFilled(0xBB), &pgno).ok());
    EXPECT_EQ(pgno, 40u);
    EXPECT_EQ(pager->pageCount(), 41u);
    EXPECT_EQ(pager->write(41, pageFilled(1)).code(), Code::Corrupt);
    PageRef now;
    ASSERT_TRUE(pager->read(3, &now).ok());
    EXPECT_EQ(now->bytes[0], 0xAA);
    EXPECT_EQ(pageBytes(before), pageBytes(original_, 3)); // a held page keeps its content
    EXPECT_TRUE(std::filesystem::exists(logPathOf(path_)));
    ASSERT_TRUE(pager->commit().ok());
    EXPECT_FALSE(pager->inTransaction());
    EXPECT_FALSE(std::filesystem::exists(logPathOf(path_)));
    pager.reset(); // Windows lets nobody read a file open for writing

    Bytes expected = original_;
    std::fill_n(expected.begin() + 3 * kPageSize, kPageSize, 0xAA);
    expected.insert(expected.end(), kPageSize, 0xBB);
    EXPECT_EQ(readAll(path_), expected);
}

// Pages read in order come several at a time; with a small cache full of
// changed pages, writing those out to make room must not disturb the pages
// being read, and neither may the pages read overwrite the changes.
TEST_F(PagerTest, ReadsInOrderAmidChangedPagesSeeTheRightContent) {
    std::unique_ptr<Pager> pager;
    ASSERT_TRUE(openFile(path_, Mode::Exclusive, &pager, 16).ok());
    ASSERT_TRUE(pager->begin().ok());
    for (std::uint32_t pgno = 20; pgno < 40; pgno += 2) ASSERT_TRUE(pager->write(pgno, pageFilled(0xC0)).ok());
    for (int i = 0; i < 16; ++i) {
        std::uint32_t pgno = 0;
        ASSERT_TRUE(pager->append(pageFilled(static_cast<std::uint8_t>(i)), &pgno).ok());
    }
    for (std::uint32_t pgno = 1; pgno < pager->pageCount(); ++pgno) {
        PageRef page;
        ASSERT_TRUE(pager->read(pgno, &page).ok());
        const Bytes expected = pgno >= 40                    ? Bytes(kPageSize, static_cast<std::uint8_t>(pgno - 40))
                               : pgno >= 20 && pgno % 2 == 0 ? Bytes(kPageSize, 0xC0)
                                                             : pageBytes(original_, pgno);
        ASSERT_EQ(pageBytes(page), expected) << "page " << pgno;
    }
}

TEST_F(PagerTest, RollbackAndCloseUndoEverything) {
    for (bool explicitRollback : {true, false}) {
        std::unique_ptr<Pager> pager;
        ASSERT_TRUE(openFile(path_, Mode::Exclusive, &pager, 16).ok()); // forces pages out early
        ASSERT_TRUE(pager->begin().ok());
        for (std::uint32_t i = 0; i < 40; ++i) ASSERT_TRUE(pager->write(i, pageFilled(0xCC)).ok());
        std::uint32_t pgno;
        for (int i = 0; i < 50; ++i) ASSERT_TRUE(pager->append(pageFilled(0xDD), &pgno).ok());
        EXPECT_LE(pager->cachedPages(), 16u);
#ifndef _WIN32 // where nobody may read a file open for writing
        const Bytes file = readAll(path_); // the added pages went to the file, no changed one did
        EXPECT_GT(file.size(), original_.size());
        EXPECT_TRUE(std::equal(original_.begin(), original_.end(), file.begin()));
#endif
        PageRef page;
        ASSERT_TRUE(pager->read(7, &page).ok()); // from the log
        EXPECT_EQ(pageBytes(page), Bytes(kPageSize, 0xCC));
        if (explicitRollback) {
            ASSERT_TRUE(pager->rollback().ok());
            EXPECT_EQ(pager->pageCount(), 40u);
            ASSERT_TRUE(pager->read(7, &page).ok());
            EXPECT_EQ(pageBytes(page), pageBytes(original_, 7));
        }
        pager.reset();
        EXPECT_EQ(readAll(path_), original_);
        EXPECT_FALSE(std::filesystem::exists(logPathOf(path_)));
    }
}

TEST_F(PagerTest, TwoGigabyteLimit) {
    constexpr std::uint64_t kLimit = std::uint64_t{1} << 31;
    std::string sparse = dir_.file("sparse.mdb");
    writeAll(sparse, original_);
    std::filesystem::resize_file(sparse, kLimit - 2 * kPageSize);
    std::unique_ptr<Pager> pager;
    ASSERT_TRUE(Pager::open(sparse, Mode::Exclusive, &pager).ok());
    ASSERT_TRUE(pager->begin().ok());
    std::uint32_t pgno;
    ASSERT_TRUE(pager->append(pageFilled(1), &pgno).ok());
    ASSERT_TRUE(pager->append(pageFilled(2), &pgno).ok());
    EXPECT_EQ(pgno, kLimit / kPageSize - 1);
    Status st = pager->append(pageFilled(3), &pgno);
    EXPECT_EQ(st.code(), Code::TooLarge);
    EXPECT_NE(st.message().find("2 GB"), std::string::npos);
    ASSERT_TRUE(pager->commit().ok()); // the refusal did not spoil the transaction
    pager.reset();
    EXPECT_EQ(std::filesystem::file_size(sparse), kLimit);
}

} // namespace
} // namespace jet::testing
