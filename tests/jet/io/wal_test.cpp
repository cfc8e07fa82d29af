// Logs left behind by interrupted runs, committed or not, intact or damaged,
// as readers and the next writer find them, and the rollback journal of an
// earlier release; transactions that cannot begin, or fail at any change
// and then have their rollback cut short.
#include <gtest/gtest.h>

#include <functional>

#include "jet/io/legacy_journal.h"
#include "jet/io/wal.h"
#include "jet/util/crc32.h"
#include "support/pager.h"

namespace jet::testing {
namespace {

using Code = Status::Code;
using Mode = Pager::Mode;
constexpr std::uint32_t kPages = 30;
constexpr std::size_t kHeaderSize = 24, kRecordSize = 8 + kPageSize;

class WalTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (std::uint32_t pgno : {2u, 5u}) std::fill_n(newFile_.begin() + pgno * kPageSize, kPageSize, 0xAB);
        newFile_.insert(newFile_.end(), 2 * kPageSize, 0x77);
    }

    // The disk as a run left it once it had logged new content for `logged`
    // pages and added `added` pages to the file, before or after its commit
    // record.
    Image interruptedRun(bool committed, std::vector<std::uint32_t> logged = {2, 5}, std::uint32_t added = 2) {
        auto layer = holding({{kDbPath, oldFile_}});
        std::unique_ptr<WriteAheadLog> log;
        EXPECT_TRUE(WriteAheadLog::create(*layer, log_, kPages, &log).ok());
        const Page changed = pageFilled(0xAB);
        std::vector<WriteAheadLog::Entry> entries;
        for (std::uint32_t pgno : logged) entries.push_back({pgno, &changed});
        EXPECT_TRUE(log->write(entries).ok());
        EXPECT_TRUE(!committed || log->commit(kPages + added).ok());
        Image image = layer->disk([] { return true; });
        image[kDbPath].insert(image[kDbPath].end(), added * kPageSize, 0x77);
        return image;
    }

    // Readers and the next writer find `expected`.
    void expectBoth(const Image& image, const Bytes& expected) {
        EXPECT_EQ(readerSees(image), expected);
        EXPECT_EQ(recover(image).at(kDbPath), expected);
    }

    // A pager on a disk holding the original file.
    std::unique_ptr<Pager> openOn(const std::shared_ptr<FaultFileLayer>& layer) {
        layer->put(kDbPath, oldFile_);
        std::unique_ptr<Pager> pager;
        EXPECT_TRUE(openPager(layer, Mode::Exclusive, &pager, 16).ok());
        return pager;
    }

    const std::string log_ = logPathOf(kDbPath);
    const Bytes oldFile_ = syntheticFile(kPages);
    Bytes newFile_ = oldFile_;
};

// Before the commit record readers find the original file; after it, the new
// one, even with the copy into place half done. The next writer makes the
// file what readers found.
TEST_F(WalTest, LeftoverLogBeforeAndAfterItsCommitRecord) {
    for (bool committed : {false, true}) {
        SCOPED_TRACE(committed ? "committed" : "not committed");
        Image image = interruptedRun(committed);
        if (committed) std::fill_n(image[kDbPath].begin() + 2 * kPageSize, kPageSize, 0xAB); // page 2 copied
        expectBoth(image, committed ? newFile_ : oldFile_);
    }
    // A committed run that only changed pages is kept all the same.
    expectBoth(interruptedRun(true, {2, 5}, 0),
               Bytes(newFile_.begin(), newFile_.begin() + static_cast<std::ptrdiff_t>(oldFile_.size())));
}

// Whatever in a log does not check out means that the commit record never
// got to the disk whole: the run is undone.
TEST_F(WalTest, DamagedLogsAreNotCommitted) {
    const std::size_t commitAt = kHeaderSize + 2 * kRecordSize;
    const std::vector<std::pair<const char*, std::function<void(Bytes&)>>> damages = {
        {"torn record", [](Bytes& log) { log[kHeaderSize + kRecordSize + 100] ^= 0x01; }},
        {"record from another log", [](Bytes& log) { log[kHeaderSize + 4] ^= 0x01; }},
        {"torn commit record", [&](Bytes& log) { log[commitAt + 12] ^= 0x01; }},
        {"commit record cut short", [&](Bytes& log) { log.resize(commitAt + 10); }},
        {"no commit record", [&](Bytes& log) { log.resize(commitAt); }},
        {"record count off", [&](Bytes& log) { log[commitAt + 8] = 1; }},
    };
    for (const auto& [what, damage] : damages) {
        SCOPED_TRACE(what);
        Image image = interruptedRun(true);
        damage(image[log_]);
        expectBoth(image, oldFile_);
    }
    // Pages at or past the file's original end are never logged: such a log
    // comes from another file and must not change this one.
    expectBoth(interruptedRun(true, {2, kPages}), oldFile_);
    // A header that never got out whole means the file was never touched.
    for (std::size_t size : {0, 5, 24, 100}) {
        Bytes junk(size, 0);
        if (size > 8) std::copy_n("VLMWAL01", 8, junk.begin());
        expectBoth({{kDbPath, oldFile_}, {log_, junk}}, oldFile_);
    }
}

// A writer's open fails, naming the log, where no log can be made, and
// changes nothing; the probe that tells is gone once the open is through.
TEST_F(WalTest, WriterIsRefusedAtOpenWhereNoLogCanBeMade) {
    auto layer = holding({{kDbPath, oldFile_}});
    layer->failAfter(0);
    std::unique_ptr<Pager> pager;
    const Status st = openPager(layer, Mode::Exclusive, &pager);
    EXPECT_FALSE(st.ok());
    EXPECT_NE(st.message().find("pomocný súbor na zápis zmien " + log_ + ". "), std::string::npos) << st.message();
    EXPECT_EQ(layer->content(kDbPath), oldFile_);
    ASSERT_TRUE(openPager(layer, Mode::Exclusive, &pager).ok());
    EXPECT_FALSE(layer->content(log_));
}

// The journal an earlier release wrote before it overwrote pages 3 and 40
// and added two: the original pages, then a record torn by the crash.
Bytes earlierReleaseJournal(const Bytes& original) {
    constexpr std::uint32_t salt = 0x5EED;
    Bytes journal(kHeaderSize);
    std::copy_n("VLMJRNL1", 8, journal.begin());
    putLe32(&journal[8], kPageSize);
    putLe32(&journal[12], static_cast<std::uint32_t>(original.size() / kPageSize));
    putLe32(&journal[16], salt);
    putLe32(&journal[20], crc32(0, journal.data(), 20));
    for (std::uint32_t pgno : {3u, 40u, 0u}) {
        const std::size_t at = journal.size();
        journal.resize(at + kRecordSize);
        putLe32(&journal[at], pgno);
        std::copy_n(original.begin() + pgno * kPageSize, kPageSize, journal.begin() + at + 8);
        putLe32(&journal[at + 4], crc32(crcOfWord(crcOfWord(0, salt), pgno), &journal[at + 8], kPageSize));
    }
    journal.back() ^= 0x01;
    return journal;
}

// Readers refuse such a file untouched; the next writer puts the original
// pages back and cuts the added ones off. A journal whose header does not
// check out was left before the file was touched: it is merely deleted.
TEST_F(WalTest, JournalOfAnEarlierReleaseIsPlayedBackByTheNextWriter) {
    const Bytes original = readAll(test_files::testData("blank.mdb"));
    const std::string journalPath = legacyJournalPathOf(kDbPath);
    Bytes damaged = original;
    std::fill_n(damaged.begin() + 3 * kPageSize, kPageSize, 0xAB);
    std::fill_n(damaged.begin() + 40 * kPageSize, kPageSize, 0xCD);
    damaged.insert(damaged.end(), 2 * kPageSize, 0x77);
    Bytes journal = earlierReleaseJournal(original);
    for (bool intactHeader : {true, false}) {
        SCOPED_TRACE(intactHeader ? "intact header" : "torn header");
        if (!intactHeader) journal[21] ^= 0x01;
        const Image image = {{kDbPath, intactHeader ? damaged : original}, {journalPath, journal}};
        auto layer = holding(image);
        std::unique_ptr<Pager> pager;
        Status st = openPager(layer, Mode::ReadOnly, &pager);
        EXPECT_EQ(st.code(), Code::Corrupt);
        EXPECT_NE(st.message().find("otvorte ho na zápis"), std::string::npos) << st.message();
        EXPECT_EQ(layer->changes(), 0u);
        EXPECT_EQ(recover(image), (Image{{kDbPath, original}}));
    }
}

// A change that fails anywhere in a transaction leaves nothing but a
// rollback to do; when the machine stops during that rollback, the next
// writer finds the old file, or the new one where the commit record may have
// reached the disk before the rollback could take it back.
TEST_F(WalTest, FailureAnywhereThenRollbackCutShort) {
    Bytes newFile(kPages * kPageSize, 4);
    newFile.insert(newFile.end(), 40 * kPageSize, 5);
    int rolledBack = 0, cut = 0;
    for (std::uint64_t failAt = 0; failAt < 1000; ++failAt) {
        for (std::uint64_t crashAt = 0; crashAt < 8; ++crashAt) {
            SCOPED_TRACE(::testing::Message() << "change " << failAt << " fails, rollback stops at " << crashAt);
            auto layer = std::make_shared<FaultFileLayer>();
            std::unique_ptr<Pager> pager = openOn(layer);
            ASSERT_TRUE(pager);
            layer->failAfter(failAt);
            Status st = pager->begin();
            for (std::uint32_t i = 0; st.ok() && i < 80; ++i) {
                std::uint32_t pgno;
                st = i % 2 ? pager->write(i / 2 % kPages, pageFilled(4)) : pager->append(pageFilled(5), &pgno);
            }
            if (st.ok() && pager->commit().ok()) {
                EXPECT_GT(rolledBack, 0);
                EXPECT_GT(cut, 0);
                return; // no change left to fail
            }
            if (!pager->inTransaction()) break; // did not begin
            std::uint32_t pgno;
            EXPECT_FALSE(pager->append(pageFilled(3), &pgno).ok() || pager->commit().ok());
            layer->crashAfter(crashAt);
            const bool undone = pager->rollback().ok();
            undone ? ++rolledBack : ++cut;
            EXPECT_TRUE(!undone || pager->pageCount() == kPages);
            pager.reset();
            const Bytes after = recover(layer->disk([] { return true; })).at(kDbPath);
            ASSERT_TRUE(after == oldFile_ || (!undone && after == newFile));
        }
    }
    ADD_FAILURE() << "the transaction never ended";
}

} // namespace
} // namespace jet::testing
