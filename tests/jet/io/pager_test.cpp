// Locks: one writer, readers share. Reads that fail halfway.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "support/pager.h"
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

// A file cut short under a reader, in the middle of a run of pages read
// at once, then made whole again: the failed read leaves nothing in the
// cache, and every page is read afresh as the file now holds it.
TEST(PagerRead, PagesOfAReadThatFailedAreReadAgain) {
#ifdef _WIN32
    GTEST_SKIP() << "the file is shared for reading only";
#else
    ScratchDir dir;
    const fs::path path = dir.path() / "a.mdb";
    const Bytes whole = syntheticFile(40);
    writeAll(path, whole);
    std::unique_ptr<Pager> pager;
    ASSERT_TRUE(Pager::open(utf8(path), Mode::ReadOnly, &pager).ok());
    PageRef ref;
    ASSERT_TRUE(pager->read(0, &ref).ok());
    fs::resize_file(path, 20 * kPageSize);
    // Pages read in order come in runs; the run that crosses the cut fails
    // whole, though the pages before the cut are there.
    std::uint32_t failed = 1;
    while (failed < 20 && pager->read(failed, &ref).ok()) ++failed;
    EXPECT_LT(failed, 20u);
    EXPECT_EQ(pager->read(failed, &ref).code(), Code::Corrupt);
    writeAll(path, whole);
    EXPECT_EQ(allPages(*pager), whole);
#endif
}

} // namespace
} // namespace jet::testing
