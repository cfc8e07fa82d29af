// Locks: one writer, readers share.
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

} // namespace
} // namespace jet::testing
