// Locks, the page cache amid changed pages, and rollback.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "pager_test_util.h"
#include "support/process.h"

namespace jet::testing {
namespace {

using Code = Status::Code;
using Mode = Pager::Mode;

// Held by another process or by this one, in a folder and under a name with
// Slovak letters and spaces, reached by its name or another: nobody else
// opens the file for writing, readers share it.
TEST(PagerLock, ExclusiveOpenShutsOutEveryOtherOpen) {
    ScratchDir dir;
    const fs::path folder = dir.path() / u8"zdieľaný priečinok";
    fs::create_directories(folder);
    const std::string path = utf8(folder / u8"údaje servera č. 1.mdb");
    writeAll(pathOf(path), syntheticFile(40));
#ifdef _WIN32
    const std::string link = path; // links need rights Windows users seldom have
#else
    const std::string link = utf8(dir.path() / "link.mdb");
    ASSERT_EQ(::symlink(path.c_str(), link.c_str()), 0);
#endif
    std::unique_ptr<Pager> pager, other;
    const auto refused = [&](const char* who) {
        for (Mode mode : {Mode::Exclusive, Mode::ReadOnly}) {
            Status st = Pager::open(mode == Mode::ReadOnly ? link : path, mode, &other);
            EXPECT_EQ(st.code(), Code::Locked) << who;
            EXPECT_EQ(st.message(), "Súbor je otvorený iným programom.") << who;
        }
    };
    {
        test_files::HeldElsewhere elsewhere(path);
        ASSERT_TRUE(elsewhere.held());
        refused("another process");
    }
    ASSERT_TRUE(Pager::open(path, Mode::Exclusive, &pager).ok());
    refused("this process");
    pager.reset();
    ASSERT_TRUE(Pager::open(path, Mode::ReadOnly, &pager).ok());
    ASSERT_TRUE(Pager::open(link, Mode::ReadOnly, &other).ok());
    EXPECT_EQ(pager->begin().code(), Code::InvalidArgument);
    other.reset();
    EXPECT_EQ(Pager::open(path, Mode::Exclusive, &other).code(), Code::Locked);
}

class PagerTest : public ::testing::Test {
protected:
    void SetUp() override { writeAll(path_, original_); }
    ScratchDir dir_;
    std::string path_ = dir_.file("db.mdb");
    Bytes original_ = syntheticFile(40);
};

// Through a small cache full of changed pages: writing some out to make room
// disturbs neither the pages read ahead nor the changes; added pages go to
// the file, changed ones to the log; a rollback, or a close without commit,
// takes all of them back.
TEST_F(PagerTest, ChangesThroughASmallCacheAreReadBackAndUndone) {
    for (bool explicitRollback : {true, false}) {
        Pager::Options options;
        options.cachePages = 16;
        std::unique_ptr<Pager> pager;
        ASSERT_TRUE(Pager::open(path_, Mode::Exclusive, options, &pager).ok());
        EXPECT_EQ(pager->write(3, pageFilled(1)).code(), Code::InvalidArgument); // no transaction
        ASSERT_TRUE(pager->begin().ok());
        for (std::uint32_t pgno = 20; pgno < 40; pgno += 2) ASSERT_TRUE(pager->write(pgno, pageFilled(0xC0)).ok());
        for (int i = 0; i < 50; ++i) {
            std::uint32_t pgno = 0;
            ASSERT_TRUE(pager->append(pageFilled(static_cast<std::uint8_t>(i)), &pgno).ok());
        }
        EXPECT_LE(pager->cachedPages(), 16u);
        for (std::uint32_t pgno = 1; pgno < pager->pageCount(); ++pgno) {
            PageRef page;
            ASSERT_TRUE(pager->read(pgno, &page).ok());
            const Bytes expected = pgno >= 40 ? Bytes(kPageSize, static_cast<std::uint8_t>(pgno - 40))
                                   : pgno >= 20 && pgno % 2 == 0 ? Bytes(kPageSize, 0xC0)
                                                                 : pageBytes(original_, pgno);
            ASSERT_EQ(pageBytes(page), expected) << "page " << pgno;
        }
#ifndef _WIN32 // where nobody may read a file open for writing
        const Bytes file = readAll(path_);
        EXPECT_GT(file.size(), original_.size());
        EXPECT_TRUE(std::equal(original_.begin(), original_.end(), file.begin()));
#endif
        if (explicitRollback) {
            ASSERT_TRUE(pager->rollback().ok());
            EXPECT_EQ(pager->pageCount(), 40u);
            PageRef page;
            ASSERT_TRUE(pager->read(20, &page).ok());
            EXPECT_EQ(pageBytes(page), pageBytes(original_, 20));
        }
        pager.reset();
        EXPECT_EQ(readAll(path_), original_);
        EXPECT_FALSE(fs::exists(logPathOf(path_)));
    }
}

} // namespace
} // namespace jet::testing
