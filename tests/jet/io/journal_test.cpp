// Recovery from a journal left behind, damaged journals, and transactions
// that fail: no journal, full disk, a rollback that cannot finish.
#include <gtest/gtest.h>

#include "support/fault_file_layer.h"
#include "jet/io/journal.h"
#include "jet/io/pager.h"
#include "pager_test_util.h"

namespace jet::testing {
namespace {

using Code = Status::Code;
using Mode = Pager::Mode;
constexpr std::uint32_t kPages = 30;

class JournalTest : public ::testing::Test {
protected:
    void SetUp() override {
        oldFile_ = syntheticFile(kPages);
        path_ = dir_.file("db.mdb");
        writeAll(path_, oldFile_);
    }

    // Leaves the file as a crash would: the originals of pages 2 and 5 in the
    // journal, both pages overwritten, two pages appended.
    void leaveInterruptedTransaction() {
        auto files = posixFileLayer();
        std::unique_ptr<JournalWriter> journal;
        ASSERT_TRUE(JournalWriter::create(*files, journalPathOf(path_), kPages, &journal).ok());
        for (std::uint32_t pgno : {2u, 5u}) {
            Bytes original = pageBytes(oldFile_, pgno);
            std::copy(original.begin(), original.end(), journal->stage(pgno));
        }
        ASSERT_TRUE(journal->writeStaged().ok());
        ASSERT_TRUE(journal->sync().ok());
        Bytes damaged = oldFile_;
        damaged[2 * kPageSize + 9] ^= 0xFF;
        damaged[5 * kPageSize + 9] ^= 0xFF;
        damaged.insert(damaged.end(), 2 * kPageSize, 0x77);
        writeAll(path_, damaged);
    }

    // A pager on the in-memory layer holding the original file.
    std::unique_ptr<Pager> openOn(const std::shared_ptr<FaultFileLayer>& layer) {
        layer->put(path_, oldFile_);
        Pager::Options options;
        options.file = layer;
        options.cachePages = 16;
        std::unique_ptr<Pager> pager;
        EXPECT_TRUE(Pager::open(path_, Mode::Exclusive, options, &pager).ok());
        return pager;
    }

    void expectRecovered() {
        std::unique_ptr<Pager> pager;
        Status st = Pager::open(path_, Mode::Exclusive, &pager);
        ASSERT_TRUE(st.ok()) << st.message();
        EXPECT_EQ(pager->pageCount(), kPages);
        pager.reset();
        EXPECT_EQ(readAll(path_), oldFile_);
        EXPECT_FALSE(std::filesystem::exists(journalPathOf(path_)));
    }

    ScratchDir dir_;
    std::string path_;
    Bytes oldFile_;
};

TEST_F(JournalTest, LeftoverJournalIsRolledBackByTheNextWriter) {
    leaveInterruptedTransaction();
    std::unique_ptr<Pager> pager;
    Status st = Pager::open(path_, Mode::ReadOnly, &pager);
    EXPECT_EQ(st.code(), Code::Corrupt);
    EXPECT_NE(st.message().find("obnoviť"), std::string::npos) << st.message();
    EXPECT_TRUE(std::filesystem::exists(journalPathOf(path_))); // a reader leaves it alone
    expectRecovered();
    EXPECT_TRUE(Pager::open(path_, Mode::ReadOnly, &pager).ok());
}

TEST_F(JournalTest, DamagedRecordsAreSkipped) {
    leaveInterruptedTransaction();
    // A record that never fully reached the disk belongs to a page that was
    // never overwritten: put page 5 back and tear its record.
    Bytes file = readAll(path_);
    file[5 * kPageSize + 9] ^= 0xFF;
    writeAll(path_, file);
    Bytes journal = readAll(journalPathOf(path_));
    std::size_t recordSize = 8 + kPageSize;
    journal[journal.size() - recordSize / 2] ^= 0x01;
    // A half-written third record.
    journal.insert(journal.end(), recordSize / 3, 0x55);
    writeAll(journalPathOf(path_), journal);
    expectRecovered();
}

// A journal that claims pages the file does not have cannot make it grow.
TEST_F(JournalTest, RecordsBeyondTheFileAreIgnored) {
    for (std::uint32_t claimedPages : {kPages, kPages + 2000}) {
        auto files = posixFileLayer();
        std::unique_ptr<JournalWriter> journal;
        ASSERT_TRUE(JournalWriter::create(*files, journalPathOf(path_), claimedPages, &journal).ok());
        std::fill_n(journal->stage(kPages + 1000), kPageSize, 0x11);
        ASSERT_TRUE(journal->writeStaged().ok());
        journal.reset();
        expectRecovered();
    }
}

TEST_F(JournalTest, UnreadableJournalIsReported) {
    std::filesystem::create_directory(journalPathOf(path_));
    std::unique_ptr<Pager> pager;
    Status st = Pager::open(path_, Mode::Exclusive, &pager);
    EXPECT_FALSE(st.ok());
    EXPECT_NE(st.message().find(journalPathOf(path_)), std::string::npos) << st.message();
    EXPECT_EQ(readAll(path_), oldFile_);
}

TEST_F(JournalTest, UnfinishedHeaderMeansTheFileWasNeverTouched) {
    for (std::size_t size : {0, 5, 24, 100}) {
        Bytes junk(size, 0);
        if (size > 8) std::copy_n("VLMJRNL1", 8, junk.begin());
        writeAll(journalPathOf(path_), junk);
        expectRecovered();
    }
}

TEST_F(JournalTest, NoJournalNoTransaction) {
    auto layer = std::make_shared<FaultFileLayer>();
    layer->setCreateDenied(true);
    std::unique_ptr<Pager> pager = openOn(layer);
    ASSERT_TRUE(pager);
    Status st = pager->begin();
    EXPECT_EQ(st.code(), Code::AccessDenied);
    EXPECT_NE(st.message().find("Nie je možné vytvoriť"), std::string::npos) << st.message();
    EXPECT_FALSE(pager->inTransaction());
    EXPECT_EQ(pager->write(1, pageFilled(0)).code(), Code::InvalidArgument);
    pager.reset();
    EXPECT_EQ(*layer->content(path_), oldFile_);
}

// Runs out of space at several points of a transaction; the caller's
// rollback then brings back the old file.
TEST_F(JournalTest, FullDiskThenRollback) {
    struct Case {
        const char* what;
        std::uint64_t room; // bytes free beyond the database
        bool rewrite;       // overwrite old pages (their originals need room) or append
    };
    for (Case c : {Case{"journal header", 10, true}, Case{"journal records", 5 * kPageSize, true},
                   Case{"appended pages", 60 * kPageSize, false}}) {
        SCOPED_TRACE(c.what);
        auto layer = std::make_shared<FaultFileLayer>();
        layer->setSpaceLimit(oldFile_.size() + c.room);
        std::unique_ptr<Pager> pager = openOn(layer);
        ASSERT_TRUE(pager);
        Status st = pager->begin();
        for (std::uint32_t i = 0; st.ok() && i < 200; ++i) {
            std::uint32_t pgno;
            st = c.rewrite ? pager->write(i % kPages, pageFilled(1)) : pager->append(pageFilled(2), &pgno);
        }
        if (st.ok()) st = pager->commit();
        ASSERT_EQ(st.code(), Code::IoError);
        EXPECT_NE(st.message().find("miesta"), std::string::npos) << st.message();
        if (pager->inTransaction()) {
            std::uint32_t pgno;
            EXPECT_FALSE(pager->append(pageFilled(3), &pgno).ok()); // only rollback from here on
            EXPECT_FALSE(pager->commit().ok());
            ASSERT_TRUE(pager->rollback().ok());
        }
        EXPECT_EQ(*layer->content(path_), oldFile_);
        EXPECT_FALSE(layer->content(journalPathOf(path_)));
        PageRef page;
        ASSERT_TRUE(pager->read(0, &page).ok());
        EXPECT_EQ(pageBytes(page), pageBytes(oldFile_, 0));
    }
}

TEST_F(JournalTest, FailedRollbackLeavesTheJournalForTheNextOpen) {
    auto layer = std::make_shared<FaultFileLayer>();
    std::unique_ptr<Pager> pager = openOn(layer);
    ASSERT_TRUE(pager && pager->begin().ok());
    for (std::uint32_t i = 0; i < 60; ++i) ASSERT_TRUE(pager->write(i % kPages, pageFilled(4)).ok());
    layer->crashAfter(3); // the rollback starts writing pages back, then stops
    EXPECT_FALSE(pager->rollback().ok());
    PageRef page;
    EXPECT_FALSE(pager->read(0, &page).ok());
    EXPECT_FALSE(pager->begin().ok());
    pager.reset();

    auto image = layer->disk([] { return true; });
    ASSERT_TRUE(image.count(journalPathOf(path_)));
    EXPECT_NE(image[path_], oldFile_);
    writeAll(path_, image[path_]);
    writeAll(journalPathOf(path_), image[journalPathOf(path_)]);
    expectRecovered();
}

} // namespace
} // namespace jet::testing
