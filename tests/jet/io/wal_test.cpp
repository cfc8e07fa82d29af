// Logs left behind by interrupted runs, committed or not, intact or damaged,
// as readers and the next writer find them; logs that do not fit the file
// beside them, because another program wrote to it, a backup was put back
// or the log belongs elsewhere; the rollback journal of an earlier release;
// transactions that fail at any change and then have their rollback cut
// short.
#include <gtest/gtest.h>

#include <functional>
#include <numeric>
#include <vector>

#include "jet/io/legacy_journal.h"
#include "jet/io/leftover.h"
#include "jet/io/wal.h"
#include "jet/util/crc32.h"
#include "support/pager.h"

namespace jet::testing {
namespace {

using Code = Status::Code;
using Mode = Pager::Mode;
constexpr std::uint32_t kPages = 30;
constexpr std::size_t kHeaderSize = 28, kRecordSize = 12 + kPageSize;

void fillPage(Bytes& file, std::uint32_t pgno, std::uint8_t value) {
    std::fill_n(file.begin() + std::ptrdiff_t{pgno} * kPageSize, kPageSize, value);
}

// Puts a record that checks out at record `n` of a log: words `first` and
// `second`, a body of `fill`.
void putRecord(Bytes& log, std::uint32_t n, std::uint32_t first, std::uint32_t second, std::uint8_t fill) {
    std::uint8_t* r = &log[kHeaderSize + n * kRecordSize];
    putLe32(r, first);
    putLe32(r + 4, second);
    std::fill_n(r + 12, kPageSize, fill);
    const std::uint32_t salt = le32(&log[16]);
    putLe32(r + 8, crcOfWord(crcOfWord(crcOfWord(crcOfWord(0, salt), first), second), crc32(0, r + 12, kPageSize)));
}

// A log of the release before, which records nothing of the database: its
// header, a record for page 2 and, when its run was saved, the commit record.
Bytes earlierReleaseLog(bool committed) {
    Bytes log(24);
    std::copy_n("VLMWAL01", 8, log.begin());
    putLe32(&log[8], kPageSize);
    putLe32(&log[12], kPages);
    putLe32(&log[16], 0x5EED);
    putLe32(&log[20], crc32(0, log.data(), 20));
    log.resize(24 + 8 + kPageSize, 0xAB);
    putLe32(&log[24], 2);
    if (!committed) return log;
    log.resize(log.size() + 16);
    std::uint8_t* commit = &log[log.size() - 16];
    putLe32(commit, 0xFFFFFFFF);
    putLe32(commit + 4, kPages);
    putLe32(commit + 8, 1);
    return log;
}

class WalTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (std::uint32_t pgno : {2u, 5u}) fillPage(newFile_, pgno, 0xAB);
        newFile_.insert(newFile_.end(), 2 * kPageSize, 0x77);
    }

    // The disk as a run left it once it had logged new content for `logged`
    // pages and added `added` pages of 0x77 to the file, before or after its
    // commit record, and before the copy into place.
    Image interruptedRun(bool committed, std::vector<std::uint32_t> logged = {2, 5}, std::uint32_t added = 2) {
        auto layer = holding({{kDbPath, oldFile_}});
        std::unique_ptr<File> db;
        EXPECT_TRUE(layer->open(kDbPath, FileLayer::Access::ReadWrite, FileLayer::Lock::None, &db).ok());
        std::unique_ptr<WriteAheadLog> log;
        EXPECT_TRUE(WriteAheadLog::create(*layer, log_, *db, kPages, &log).ok());
        const Page changed = pageFilled(0xAB), extra = pageFilled(0x77);
        std::vector<WriteAheadLog::Entry> entries, addedEntries;
        for (std::uint32_t pgno : logged) entries.push_back({pgno, &changed});
        for (std::uint32_t pgno = kPages; pgno < kPages + added; ++pgno) addedEntries.push_back({pgno, &extra});
        EXPECT_TRUE(log->write(entries).ok() && log->writeAdded(addedEntries).ok());
        for (const auto& e : addedEntries)
            EXPECT_TRUE(db->write(std::uint64_t{e.pgno} * kPageSize, &extra, kPageSize).ok());
        EXPECT_TRUE(!committed || log->commit(kPages + added).ok());
        return layer->disk([] { return true; });
    }

    // Readers and the next writer find `expected`.
    void expectBoth(const Image& image, const Bytes& expected) {
        EXPECT_EQ(readerSees(image), expected);
        EXPECT_EQ(recover(image).at(kDbPath), expected);
    }

    // A leftover (the log, or an earlier release's journal) that does not
    // fit: a reader reads the file as it is and says why; the next writer
    // changes no byte of it, renames the leftover durably, twice over under
    // two names, says so, and then works as ever.
    void expectSetAside(const Image& image, const std::string& says, const std::string& leftover) {
        EXPECT_EQ(readerSees(image), image.at(kDbPath));
        for (Mode mode : {Mode::ReadOnly, Mode::Exclusive}) {
            auto layer = holding(image);
            std::vector<OpenNotice> notices;
            Pager::Options options;
            options.file = layer;
            options.notices = &notices;
            std::unique_ptr<Pager> pager;
            ASSERT_TRUE(Pager::open(kDbPath, mode, options, &pager).ok());
            ASSERT_EQ(notices.size(), 1u);
            const std::string text = notices[0].text;
            EXPECT_EQ(text.rfind("Pomocný súbor " + leftover + " sa nedá použiť pre databázu " + kDbPath + ": ", 0), 0u)
                << text;
            EXPECT_NE(text.find(says), std::string::npos) << text;
            if (mode == Mode::ReadOnly) {
                EXPECT_EQ(layer->changes(), 0u);
                continue;
            }
            layer->put(leftover, image.at(leftover));
            ASSERT_TRUE(Pager::open(kDbPath, mode, options, &pager).ok());
            const Image after = layer->disk([] { return false; });
            ASSERT_EQ(after.size(), 3u);
            EXPECT_TRUE(after.begin()->second == image.at(kDbPath));
            for (auto it = std::next(after.begin()); it != after.end(); ++it) {
                EXPECT_EQ(it->first.rfind(leftover + ".nepatri-", 0), 0u) << it->first;
                EXPECT_TRUE(it->second == image.at(leftover));
            }
            EXPECT_NE(text.find("premenovaný na " + std::next(after.begin())->first + "."), std::string::npos);
            std::uint32_t pgno;
            EXPECT_TRUE(pager->begin().ok() && pager->append(pageFilled(1), &pgno).ok() && pager->commit().ok());
        }
    }

    const std::string log_ = logPathOf(kDbPath);
    const Bytes oldFile_ = syntheticFile(kPages);
    Bytes newFile_ = oldFile_;
};

// Before the commit record readers find the original file; after it, the new
// one, even with the copy into place half done. The next writer makes the
// file what readers found, and says when it finished a saved run.
TEST_F(WalTest, LeftoverLogBeforeAndAfterItsCommitRecord) {
    for (bool committed : {false, true}) {
        SCOPED_TRACE(committed ? "committed" : "not committed");
        Image image = interruptedRun(committed);
        if (committed) fillPage(image[kDbPath], 2, 0xAB); // page 2 copied
        expectBoth(image, committed ? newFile_ : oldFile_);
        std::vector<OpenNotice> notices;
        Pager::Options options;
        options.file = holding(image);
        options.notices = &notices;
        std::unique_ptr<Pager> pager;
        ASSERT_TRUE(Pager::open(kDbPath, Mode::Exclusive, options, &pager).ok());
        ASSERT_EQ(notices.size(), std::size_t{committed});
        if (committed) {
            EXPECT_EQ(notices[0].kind, OpenNotice::Kind::Completed);
        }
    }
    // A committed run that only changed pages is kept all the same.
    expectBoth(interruptedRun(true, {2, 5}, 0), Bytes(newFile_.begin(), newFile_.begin() + kPages * kPageSize));
    // What a crash, or another program, may change without making the log
    // foreign: a page the run added whose write never reached the disk
    // (zeros), a page added after the commit (kept), the header page's
    // commit bytes.
    for (const auto& [committed, change] : std::vector<std::pair<bool, std::function<void(Bytes&)>>>{
             {false, [](Bytes& f) { fillPage(f, kPages, 0); }},
             {true, [](Bytes& f) { f.insert(f.end(), kPageSize, 0x99); }},
             {true, [](Bytes& f) { f[0xE00] ^= 0x01; }}}) {
        Image image = interruptedRun(committed);
        change(image[kDbPath]);
        Bytes expected = committed ? newFile_ : oldFile_;
        if (committed) change(expected);
        expectBoth(image, expected);
    }
    // More added pages than one list of them holds, the last one never
    // written.
    Image many = interruptedRun(false, {2}, 600);
    many[kDbPath].resize(many[kDbPath].size() - kPageSize);
    expectBoth(many, oldFile_);
}

// Whatever in a log does not check out means that the commit record never
// got to the disk whole: the run is undone.
TEST_F(WalTest, DamagedLogsAreNotCommitted) {
    const std::size_t commitAt = kHeaderSize + 3 * kRecordSize; // two pages, one list of added pages
    const std::vector<std::pair<const char*, std::function<void(Bytes&)>>> damages = {
        {"torn record", [](Bytes& log) { log[kHeaderSize + kRecordSize + 100] ^= 0x01; }},
        {"record from another log", [](Bytes& log) { log[kHeaderSize + 8] ^= 0x01; }},
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
    // A header that never got out whole means the file was never touched:
    // the log is deleted.
    for (std::size_t size : {0, 5, 20, 28}) {
        Bytes unfinished = interruptedRun(false).at(log_);
        unfinished.resize(size);
        if (size == 20) std::fill(unfinished.begin(), unfinished.end(), 0);
        if (size == 28) unfinished[27] ^= 0x01;
        expectBoth({{kDbPath, oldFile_}, {log_, unfinished}}, oldFile_);
    }
}

// The log does not fit the file beside it: another program wrote to the file
// after the crash, a backup was put back, the log belongs to another
// database or was damaged. Nothing is applied and nothing is cut.
TEST_F(WalTest, ALogIsAppliedOnlyToTheFileAndTheStateItWasWrittenFor) {
    struct Case {
        const char* what;
        bool committed;
        std::function<void(Bytes& file, Bytes& log)> change;
        std::string says;
    };
    const std::string added = "strana " + std::to_string(kPages);
    const std::vector<Case> cases = {
        {"another program appended a page after the crash", false,
         [](Bytes& file, Bytes&) { file.insert(file.end(), kPageSize, 0x99); }, "najviac na 32 strán"},
        {"another program rewrote a page the run added", false, [](Bytes& f, Bytes&) { fillPage(f, kPages, 0x99); },
         added + " za pôvodným koncom"},
        {"another program changed a logged page", false, [](Bytes& f, Bytes&) { f[2 * kPageSize + 9] ^= 1; },
         "strana 2 databázy obsahuje niečo iné"},
        {"a shorter file", false, [](Bytes& f, Bytes&) { f.resize((kPages - 1) * kPageSize); },
         "databáza má 29 strán, pomocný súbor počíta aspoň s 30 strán"},
        {"a backup put back after the commit", true, [&](Bytes& f, Bytes&) { f = oldFile_; },
         "databáza má 30 strán, pomocný súbor počíta aspoň s 32 strán"},
        {"a logged page changed after the commit", true, [](Bytes& f, Bytes&) { f[5 * kPageSize] ^= 1; },
         "strana 5 databázy"},
        {"a page the run added changed after the commit", true, [](Bytes& f, Bytes&) { f.back() ^= 1; },
         "strana 31 databázy"},
        {"the header page of another database", true, [](Bytes& f, Bytes&) { f[0xDFF] ^= 1; }, "hlavička databázy"},
        {"a committed log cut by 8 bytes after its copy had finished", true,
         [&](Bytes& f, Bytes& log) {
             f = newFile_;
             log.resize(log.size() - 8);
         },
         "strana 2 databázy"},
        {"a record for a page the file did not have", true,
         [](Bytes&, Bytes& log) { putRecord(log, 1, kPages, 0, 0xAB); }, "pomocný súbor je poškodený"},
        {"a list of more added pages than a record holds", true,
         [](Bytes&, Bytes& log) { putRecord(log, 2, 0xFFFFFFFE, kPageSize / 8 + 1, 0x7F); }, "je poškodený"},
        {"a list of added pages below the original end", true,
         [](Bytes&, Bytes& log) { putRecord(log, 2, 0xFFFFFFFE, 1, 0); }, "je poškodený"},
        {"a log of the release before", false, [](Bytes&, Bytes& log) { log = earlierReleaseLog(false); },
         "staršia verzia programu, ktorá nezaznamenávala, ku ktorej databáze a k akému jej stavu patrí, a to sa nedá "
         "overiť. Nebol"},
        {"a saved log of the release before", true, [](Bytes&, Bytes& log) { log = earlierReleaseLog(true); },
         "databáza môže byť zapísaná len sčasti: overte ju"},
        {"a damaged header", true, [](Bytes&, Bytes& log) { log[12] ^= 1; }, "pomocný súbor je poškodený"},
        {"not a log", true, [](Bytes&, Bytes& log) { std::fill_n(log.begin(), 8, 'x'); },
         "nie je to pomocný súbor tohto programu"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Image image = interruptedRun(c.committed);
        c.change(image[kDbPath], image[log_]);
        expectSetAside(image, c.says, log_);
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
Bytes earlierReleaseJournal(const Bytes& original, std::vector<std::uint32_t> pages = {3, 40, 0}) {
    constexpr std::uint32_t salt = 0x5EED;
    constexpr std::size_t header = 24, record = 8 + kPageSize;
    Bytes journal(header);
    std::copy_n("VLMJRNL1", 8, journal.begin());
    putLe32(&journal[8], kPageSize);
    putLe32(&journal[12], static_cast<std::uint32_t>(original.size() / kPageSize));
    putLe32(&journal[16], salt);
    putLe32(&journal[20], crc32(0, journal.data(), 20));
    for (std::uint32_t pgno : pages) {
        const std::size_t at = journal.size();
        journal.resize(at + record);
        putLe32(&journal[at], pgno);
        std::copy_n(original.begin() + std::min<std::size_t>(pgno * kPageSize, original.size() - kPageSize), kPageSize,
                    journal.begin() + at + 8);
        putLe32(&journal[at + 4], crc32(crcOfWord(crcOfWord(0, salt), pgno), &journal[at + 8], kPageSize));
    }
    journal.back() ^= 0x01;
    return journal;
}

// Readers refuse such a file untouched; the next writer puts the original
// pages back and cuts the added ones off. A journal whose header never got
// out is merely deleted; one that does not fit the file is set aside.
TEST_F(WalTest, JournalOfAnEarlierReleaseIsPlayedBackWhenItFits) {
    const Bytes original = readAll(test_files::testData("blank.mdb"));
    const std::string journalPath = legacyJournalPathOf(kDbPath);
    Bytes damaged = original;
    fillPage(damaged, 3, 0xAB);
    fillPage(damaged, 40, 0xCD);
    damaged.insert(damaged.end(), 2 * kPageSize, 0x77);
    const Bytes journal = earlierReleaseJournal(original);
    const Image image = {{kDbPath, damaged}, {journalPath, journal}};
    auto layer = holding(image);
    std::unique_ptr<Pager> pager;
    Status st = openPager(layer, Mode::ReadOnly, &pager);
    EXPECT_EQ(st.code(), Code::Corrupt);
    EXPECT_NE(st.message().find("otvorte ho na zápis"), std::string::npos) << st.message();
    EXPECT_EQ(layer->changes(), 0u);
    EXPECT_EQ(recover(image), (Image{{kDbPath, original}}));
    EXPECT_EQ(recover({{kDbPath, original}, {journalPath, Bytes(journal.begin(), journal.begin() + 20)}}),
              (Image{{kDbPath, original}}));

    Bytes torn = journal;
    torn[21] ^= 0x01;
    const Bytes foreign =
        earlierReleaseJournal(original, {3, static_cast<std::uint32_t>(original.size() / kPageSize), 0});
    for (const auto& [file, bytes, says] :
         {std::tuple{original, torn, "denník je poškodený"},
          {Bytes(original.begin(), original.end() - kPageSize), journal, "denník počíta aspoň s"},
          {damaged, foreign, "ktorú databáza pred prerušeným zápisom nemala"}})
        expectSetAside({{kDbPath, file}, {journalPath, bytes}}, says, journalPath);
    // Journals of earlier releases are summed with the standard CRC-32.
    EXPECT_EQ(crc32(0, reinterpret_cast<const std::uint8_t*>("123456789"), 9), 0xCBF43926u);
}

// The sums of logs already written must come out the same whichever way they
// are worked out: folded on processors that can, by tables elsewhere. Both
// are held against the sum bit by bit, over short runs and long, pages, odd
// starting addresses and sums carried on from earlier bytes. Some runs end
// where the buffer ends, so that a read past a run shows under the sanitizers.
TEST(Crc32, FoldedAndTabledSumsAgreeBitByBit) {
    auto bitByBit = [](std::uint32_t crc, const std::uint8_t* p, std::size_t n) {
        crc = ~crc;
        while (n--) {
            crc ^= *p++;
            for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ ((crc & 1) ? 0xEDB88320u : 0);
        }
        return ~crc;
    };
    Bytes data(2 * kPageSize + 16);
    std::uint32_t seed = 1;
    for (auto& b : data) b = static_cast<std::uint8_t>((seed = seed * 1103515245u + 12345u) >> 23);
    std::vector<std::size_t> lengths(301);
    std::iota(lengths.begin(), lengths.end(), 0);
    lengths.insert(lengths.end(), {kPageSize - 1, kPageSize, kPageSize + 1, kPageSize + 63, 2 * kPageSize});
    for (std::size_t n : lengths)
        for (std::size_t beforeEnd : {0, 1, 7, 13})
            for (std::uint32_t start : {0u, 0xFFFFFFFFu, 0x9E3779B9u}) {
                const std::uint8_t* p = data.data() + data.size() - beforeEnd - n;
                const std::uint32_t want = bitByBit(start, p, n);
                ASSERT_EQ(crc32(start, p, n), want) << n << " bytes, " << beforeEnd << " before the end";
                ASSERT_EQ(crc32_detail::byTables(start, p, n), want)
                    << n << " bytes, " << beforeEnd << " before the end";
            }
}

// A change that fails anywhere in a transaction leaves nothing but a
// rollback to do; when the machine stops during that rollback, the next
// writer finds the old file, or the new one where the commit record may have
// reached the disk before the rollback could take it back. A commit that
// fails once its commit record is on the disk says that the transaction is
// saved, and the next writer finishes it.
TEST_F(WalTest, FailureAnywhereThenRollbackCutShort) {
    Bytes newFile(kPages * kPageSize, 4);
    newFile.insert(newFile.end(), 40 * kPageSize, 5);
    int rolledBack = 0, cut = 0, saved = 0;
    for (std::uint64_t failAt = 0; failAt < 1000; ++failAt) {
        for (std::uint64_t crashAt = 0; crashAt < 8; ++crashAt) {
            SCOPED_TRACE(::testing::Message() << "change " << failAt << " fails, rollback stops at " << crashAt);
            auto layer = std::make_shared<FaultFileLayer>();
            layer->put(kDbPath, oldFile_);
            std::unique_ptr<Pager> pager;
            ASSERT_TRUE(openPager(layer, Mode::Exclusive, &pager, 16).ok());
            layer->failAfter(failAt);
            Status st = pager->begin();
            for (std::uint32_t i = 0; st.ok() && i < 80; ++i) {
                std::uint32_t pgno;
                st = i % 2 ? pager->write(i / 2 % kPages, pageFilled(4)) : pager->append(pageFilled(5), &pgno);
            }
            if (st.ok()) st = pager->commit();
            if (st.ok()) {
                EXPECT_GT(rolledBack, 0);
                EXPECT_GT(cut, 0);
                EXPECT_GT(saved, 0);
                return; // no change left to fail
            }
            if (!pager->inTransaction()) break; // did not begin
            const bool pending = st.code() == Code::Pending;
            saved += pending;
            EXPECT_TRUE(pending ? pager->state() == Pager::State::Committed
                                : pager->state() == Pager::State::Failed ||
                                      pager->state() == Pager::State::CommitRecordFailed);
            EXPECT_EQ(pager->failure().message(), st.message());
            std::uint32_t pgno;
            EXPECT_FALSE(pager->append(pageFilled(3), &pgno).ok() || pager->commit().ok());
            layer->crashAfter(crashAt);
            const bool undone = pager->rollback().ok();
            EXPECT_EQ(pager->state(), undone    ? Pager::State::Idle
                                      : pending ? Pager::State::Committed
                                                : Pager::State::Broken);
            undone ? ++rolledBack : ++cut;
            EXPECT_TRUE(!undone || pager->pageCount() == kPages);
            EXPECT_TRUE(!pending || !undone);
            pager.reset();
            const Image disk = layer->disk([] { return true; });
            // Taking back a commit record that may be on the disk is the
            // rollback's first two changes.
            LeftoverLog left;
            if (!pending && crashAt >= 2 && disk.count(log_)) {
                EXPECT_TRUE(readLeftoverLog(*holding(disk), log_, &left).ok() && !left.committed);
            }
            const Bytes after = recover(disk).at(kDbPath);
            ASSERT_TRUE(pending ? after == newFile : after == oldFile_ || (!undone && after == newFile));
        }
    }
    ADD_FAILURE() << "the transaction never ended";
}

// A layer above that fails in the middle of a transaction tells the pager,
// which then refuses all but the rollback with that failure, as after one of
// its own; the rollback leaves the file as it was and the next transaction
// goes through.
TEST_F(WalTest, AFailureAboveThePagerLeavesOnlyTheRollback) {
    auto layer = holding({{kDbPath, oldFile_}});
    std::unique_ptr<Pager> pager;
    ASSERT_TRUE(openPager(layer, Mode::Exclusive, &pager).ok());
    std::uint32_t pgno;
    ASSERT_TRUE(pager->begin().ok() && pager->write(2, pageFilled(9)).ok());
    const Status why = Status::error(Code::Corrupt, "Index je poškodený.");
    pager->fail(why);
    EXPECT_EQ(pager->state(), Pager::State::Failed);
    for (const Status& st :
         {pager->write(3, pageFilled(9)), pager->append(pageFilled(9), &pgno), pager->commit(), pager->failure()})
        EXPECT_EQ(st.message(), why.message());
    PageRef page;
    EXPECT_TRUE(pager->read(2, &page).ok());
    EXPECT_EQ(pager->begin().code(), Code::InvalidArgument);
    ASSERT_TRUE(pager->rollback().ok());
    EXPECT_TRUE(pager->state() == Pager::State::Idle && pager->failure().ok());
    EXPECT_EQ(layer->content(kDbPath), oldFile_);
    EXPECT_TRUE(pager->begin().ok() && pager->write(2, pageFilled(0xAB)).ok() && pager->commit().ok());
}

} // namespace
} // namespace jet::testing
