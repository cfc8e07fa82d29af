// Locks: one writer, readers share. Reads that fail halfway; bytes changed
// in place; added pages written beside the caller.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

#include "support/pager.h"
#include "support/process.h"

namespace jet::testing {
namespace {

using Code = Status::Code;
using Mode = Pager::Mode;

// A file of forty pages of a pattern, in a folder of its own.
struct ScratchFile {
    ScratchDir dir;
    fs::path path = dir.path() / "a.mdb";
    Bytes bytes = syntheticFile(40);
    ScratchFile() { writeAll(path, bytes); }
};

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
    ScratchFile file;
    std::unique_ptr<Pager> pager;
    ASSERT_TRUE(Pager::open(utf8(file.path), Mode::ReadOnly, &pager).ok());
    PageRef ref;
    ASSERT_TRUE(pager->read(0, &ref).ok());
    fs::resize_file(file.path, 20 * kPageSize);
    // Pages read in order come in runs; the run that crosses the cut fails
    // whole, though the pages before the cut are there.
    std::uint32_t failed = 1;
    while (failed < 20 && pager->read(failed, &ref).ok()) ++failed;
    EXPECT_LT(failed, 20u);
    EXPECT_EQ(pager->read(failed, &ref).code(), Code::Corrupt);
    writeAll(file.path, file.bytes);
    EXPECT_EQ(allPages(*pager), file.bytes);
#endif
}

// A few bytes of pages changed in place, one of them not yet read: a reader
// holding the page keeps what it read, the rest of each page stays as it
// was, and the change reaches the file with the commit.
TEST(PagerWrite, BytesChangedInPlaceLeaveHeldPagesAndTheRestAsTheyWere) {
    ScratchFile file;
    std::unique_ptr<Pager> pager;
    ASSERT_TRUE(Pager::open(utf8(file.path), Mode::Exclusive, &pager).ok());
    ASSERT_TRUE(pager->begin().ok());
    PageRef held;
    ASSERT_TRUE(pager->read(5, &held).ok());
    const std::uint8_t bytes[] = {0xAB, 0xCD};
    ASSERT_TRUE(pager->writeBytes(5, 100, bytes).ok());
    ASSERT_TRUE(pager->writeBytes(30, kPageSize - 2, bytes).ok());
    EXPECT_TRUE(std::equal(held->bytes.begin(), held->bytes.end(), file.bytes.begin() + 5 * kPageSize));
    ASSERT_TRUE(pager->commit().ok());
    Bytes expected = file.bytes;
    std::copy(std::begin(bytes), std::end(bytes), expected.begin() + 5 * kPageSize + 100);
    std::copy(std::begin(bytes), std::end(bytes), expected.begin() + 31 * kPageSize - 2);
    EXPECT_EQ(allPages(*pager), expected);
    pager.reset();
    EXPECT_EQ(readAll(file.path), expected);
}

// Added pages written beside the caller, more than the cache holds: read
// back while they are on their way they are what was written; and when the
// file may not grow any more (a size limit, as a full disk would), the
// failure of their writing reaches the caller, the commit goes no further
// and the rollback leaves the file as it was.
TEST(PagerWrite, AddedPagesWrittenBesideAreReadBackAndTheirFailureIsTold) {
#ifdef _WIN32
    GTEST_SKIP() << "added pages are written in place here";
#else
    ScratchFile file;
    Pager::Options options;
    options.cachePages = 16;
    std::unique_ptr<Pager> pager;
    ASSERT_TRUE(Pager::open(utf8(file.path), Mode::Exclusive, options, &pager).ok());
    const auto fill = [&](std::uint32_t pages) {
        Status st = pager->begin();
        for (std::uint32_t i = 0; st.ok() && i < pages; ++i) {
            std::uint32_t pgno = 0;
            st = pager->append(pageFilled(static_cast<std::uint8_t>(i)), &pgno);
        }
        return st;
    };
    ASSERT_TRUE(fill(300).ok());
    PageRef ref;
    for (std::uint32_t i = 0; i < 300; ++i) {
        ASSERT_TRUE(pager->read(40 + i, &ref).ok());
        ASSERT_EQ(ref->bytes, pageFilled(static_cast<std::uint8_t>(i)).bytes) << i;
    }
    ASSERT_TRUE(pager->rollback().ok());

    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    rlimit limited = before;
    limited.rlim_cur = file.bytes.size() + 100 * kPageSize;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    Status st = fill(300);
    if (st.ok()) st = pager->commit();
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(st.code(), Code::TooLarge) << st.message();
    EXPECT_EQ(pager->state(), Pager::State::Failed);
    ASSERT_TRUE(pager->rollback().ok());
    pager.reset();
    EXPECT_EQ(readAll(file.path), file.bytes);
#endif
}

} // namespace
} // namespace jet::testing
