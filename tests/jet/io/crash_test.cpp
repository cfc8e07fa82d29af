// A transaction interrupted at any point leaves the file's original bytes
// untouched until its commit record is on the disk, and, once the file is
// opened again, either the file as it was or the file with the whole
// transaction.
#include <gtest/gtest.h>

#include <random>

#include "support/pager.h"

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

} // namespace
} // namespace jet::testing
