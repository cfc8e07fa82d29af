#include "jet/io/pager.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <chrono>
#include <span>
#include <vector>

#include "jet/io/file_layer.h"
#include "jet/io/leftover.h"
#include "jet/io/page_cache.h"
#include "jet/io/page_writer.h"
#include "jet/io/wal.h"

namespace jet {

namespace {

using Code = Status::Code;

constexpr std::size_t kMinCachePages = 16;
// Dirty pages written out together when the cache needs room.
constexpr std::size_t kSpillBatch = 256;
// Consecutive pages written with one call.
constexpr std::size_t kRunPages = 64;
// Pages read with one call once reads go through the file in order.
constexpr std::size_t kReadAheadPages = 16;

std::uint64_t offsetOf(std::uint32_t pgno) { return std::uint64_t{pgno} * kPageSize; }

double lastWindow = 0; // Pager::lastCommitWindow()

// Only sizes are judged here; whether the pages hold a Jet 4 database is the
// reader's question. A size that is not a whole number of pages, or less than
// the header page and the allocation map, cannot be one.
Status checkSize(std::uint64_t size) {
    if (size == 0) return Status::error(Code::NotJet, "Súbor je prázdny.");
    if (size % kPageSize != 0 || size < 2 * kPageSize)
        return Status::error(Code::NotJet, "Súbor nie je databáza Jet 4: jeho veľkosť (" + std::to_string(size) +
                                               " bajtov) nezodpovedá celým stranám.");
    return Status::OK();
}

Status pastEnd(std::uint32_t pgno, std::uint32_t pages) {
    return Status::error(Code::Corrupt, "Stránka " + std::to_string(pgno) + " leží za koncom súboru, ktorý má " +
                                            std::to_string(pages) + " strán.");
}

class PagerImpl final : public Pager {
public:
    // `committed`: a log left by a committed run that a reader reads through.
    PagerImpl(const std::string& path, Mode mode, std::shared_ptr<FileLayer> files, std::unique_ptr<File> db,
              std::uint32_t pages, std::size_t cachePages, std::unique_ptr<WriteAheadLog> committed)
        : logPath_(logPathOf(path)), mode_(mode), files_(std::move(files)), db_(std::move(db)), pages_(pages),
          cache_(cachePages), log_(std::move(committed)),
          writer_(mode_ != Mode::ReadOnly && db_->sharedByThreads() ? std::make_unique<PageWriter>() : nullptr) {}

    ~PagerImpl() override {
        if (inTransaction()) rollback();
    }

    Mode mode() const override { return mode_; }
    std::uint32_t pageCount() const override { return pages_; }
    std::size_t cachedPages() const override { return cache_.size(); }
    State state() const override { return state_; }
    Status failure() const override { return failure_; }

    Status read(std::uint32_t pgno, PageRef* out) override {
        assert(stateHolds());
        if (over()) return failure_;
        if (pgno >= pages_) return pastEnd(pgno, pages_);
        if (PageCache::Slot* slot = cache_.find(pgno)) {
            *out = slot->page;
            return Status::OK();
        }
        PageCache::Slot* slot = nullptr;
        JET_TRY(readRun(pgno, &slot));
        *out = slot->page;
        return Status::OK();
    }

    Status begin() override {
        assert(stateHolds());
        if (mode_ == Mode::ReadOnly) return Status::error(Code::InvalidArgument, "Súbor je otvorený len na čítanie.");
        if (over()) return failure_;
        if (state_ != State::Idle) return Status::error(Code::InvalidArgument, "Transakcia už prebieha.");
        JET_TRY(WriteAheadLog::create(*files_, logPath_, *db_, pages_, &log_));
        originalPages_ = pages_;
        state_ = State::Writing;
        return Status::OK();
    }

    Status write(std::uint32_t pgno, const Page& page) override {
        assert(stateHolds());
        JET_TRY(writable());
        if (pgno >= pages_) return pastEnd(pgno, pages_);
        PageCache::Slot* slot = cache_.find(pgno);
        if (!slot) {
            JET_TRY(guard(makeRoom()));
            slot = cache_.insert(pgno);
        }
        PageCache::assign(slot, page);
        slot->dirty = true;
        return Status::OK();
    }

    Status writeBytes(std::uint32_t pgno, std::size_t at, std::span<const std::uint8_t> bytes) override {
        assert(stateHolds() && at + bytes.size() <= kPageSize);
        JET_TRY(writable());
        if (pgno >= pages_) return pastEnd(pgno, pages_);
        PageCache::Slot* slot = cache_.find(pgno);
        if (!slot) JET_TRY(readRun(pgno, &slot));
        std::copy(bytes.begin(), bytes.end(), PageCache::edit(slot).bytes.begin() + at);
        slot->dirty = true;
        return Status::OK();
    }

    Status append(const Page& page, std::uint32_t* pgno) override {
        assert(stateHolds());
        JET_TRY(writable());
        if (pages_ >= kMaxPages)
            return Status::error(Code::TooLarge, "Databáza by prekročila najväčšiu dovolenú veľkosť 2 GB.");
        JET_TRY(guard(makeRoom()));
        PageCache::Slot* slot = cache_.insert(pages_);
        PageCache::assign(slot, page);
        slot->dirty = true;
        *pgno = pages_++;
        return Status::OK();
    }

    Status commit() override {
        assert(stateHolds());
        JET_TRY(writable());
        std::vector<PageCache::Slot*> dirty;
        for (PageCache::Slot* s = cache_.oldest(); s; s = s->newer)
            if (s->dirty) dirty.push_back(s);
        JET_TRY(guard(writeOut(dirty)));
        JET_TRY(guard(settle()));
        // The commit record counts the added pages in: they must be on the
        // disk before it.
        if (pages_ > originalPages_) JET_TRY(guard(db_->sync()));
        Status st = log_->commit(pages_);
        if (!st.ok()) return enter(State::CommitRecordFailed, st);
        st = copyLogged();
        if (!st.ok())
            return enter(State::Committed,
                         Status::error(Code::Pending, "Zmeny sú uložené v pomocnom súbore " + logPath_ +
                                                          ", ale do databázy sa ich nepodarilo zapísať. " +
                                                          st.message() +
                                                          " Zapíšu sa pri najbližšom otvorení databázy."));
        endTransaction();
        return Status::OK();
    }

    Status rollback() override {
        assert(stateHolds());
        if (state_ == State::Idle) return Status::error(Code::InvalidArgument, "Žiadna transakcia neprebieha.");
        if (over()) return failure_;
        // A commit record that may be on the disk all the same decides at the
        // next open should the rollback fail.
        const bool recordMayStay = state_ == State::CommitRecordFailed;
        cache_.clear();
        Status st = undo();
        if (!st.ok()) {
            const char* then = recordMayStay ? "; potom bude obsahovať buď pôvodný stav, alebo všetky zmeny."
                                             : ", zmeny sa potom vrátia.";
            return enter(State::Broken,
                         Status::error(st.code(), st.message() + " Súbor treba zatvoriť a znova otvoriť" + then));
        }
        pages_ = originalPages_;
        endTransaction();
        return Status::OK();
    }

    void fail(const Status& why) override {
        assert(stateHolds() && state_ != State::Idle && !why.ok());
        if (state_ == State::Writing) enter(State::Failed, why);
    }

private:
    // Committed and Broken: nothing is accepted any more.
    bool over() const { return state_ == State::Committed || state_ == State::Broken; }

    // What the diagram in pager.h keeps true in each state.
    bool stateHolds() const {
        const bool open = state_ != State::Idle;
        return (mode_ == Mode::Exclusive || !open) &&
               failure_.ok() == (state_ == State::Idle || state_ == State::Writing) &&
               (!open || originalPages_ <= pages_) && (mode_ == Mode::ReadOnly || open == (log_ != nullptr) || over());
    }

    // Moves to a state that refuses what the diagram says, for `why`; returns it.
    Status enter(State next, const Status& why) {
        state_ = next;
        failure_ = why;
        return why;
    }

    Status writable() const {
        if (state_ == State::Idle) return Status::error(Code::InvalidArgument, "Zápis mimo transakcie.");
        return failure_;
    }

    // A failure of a change of the open transaction: from then on only
    // rollback.
    Status guard(Status st) {
        if (!st.ok() && state_ == State::Writing) enter(State::Failed, st);
        return st;
    }

    void endTransaction() {
        state_ = State::Idle;
        failure_ = Status::OK();
        log_.reset();
    }

    // After the commit point: the logged pages go into place, then the log
    // goes.
    Status copyLogged() {
        const auto start = std::chrono::steady_clock::now();
        JET_TRY(log_->copyInto(*db_));
        JET_TRY(db_->sync());
        lastWindow = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        log_.reset();
        // The file is complete now. A log that stays behind after all is
        // merely copied once more by the next open.
        (void)files_->removeDurably(logPath_);
        return Status::OK();
    }

    // Before the commit point the file's original pages are untouched: only
    // the added ones go, and with them the log.
    Status undo() {
        (void)settle(); // whatever came of them, the added pages go
        // A commit record written just before a failed flush may be on the
        // disk all the same: it must not outlive the pages it counts.
        if (state_ == State::CommitRecordFailed) JET_TRY(log_->discard());
        log_.reset();
        std::uint64_t size = 0;
        JET_TRY(db_->size(&size));
        if (size > offsetOf(originalPages_)) {
            JET_TRY(db_->truncate(offsetOf(originalPages_)));
            JET_TRY(db_->sync());
        }
        return files_->removeDurably(logPath_);
    }

    bool logged(std::uint32_t pgno) const { return log_ && log_->holds(pgno); }

    // Reads page `pgno` into the cache (its slot in *wanted), from the log
    // when the log holds it. When it follows the page read last from the
    // file, the uncached pages after it come along in the same call.
    Status readRun(std::uint32_t pgno, PageCache::Slot** wanted) {
        const bool fromLog = logged(pgno);
        std::size_t count = 1;
        if (!fromLog && pgno == lastRead_ + 1)
            while (count < kReadAheadPages && pgno + count < pages_ && count < cache_.capacity() / 2 &&
                   !cache_.holds(static_cast<std::uint32_t>(pgno + count)) &&
                   !logged(static_cast<std::uint32_t>(pgno + count)))
                ++count;
        // The slots are taken first and read into; a failure gives them up.
        // The wanted page goes in last, so that it is the most recently used.
        std::array<PageCache::Slot*, kReadAheadPages> slots;
        const auto giveUp = [&](std::size_t from, const Status& why) {
            for (std::size_t k = from; k < count; ++k) cache_.erase(slots[k]);
            return why;
        };
        for (std::size_t k = count; k-- > 0;) {
            if (Status room = guard(makeRoom()); !room.ok()) return giveUp(k + 1, room);
            slots[k] = cache_.insert(static_cast<std::uint32_t>(pgno + k));
        }
        std::array<std::span<std::uint8_t>, kReadAheadPages> parts;
        for (std::size_t k = 0; k < count; ++k) parts[k] = slots[k]->page->bytes;
        // An added page read back may be among those being written.
        if (inTransaction() && pgno + count > originalPages_)
            if (Status written = guard(settle()); !written.ok()) return giveUp(0, written);
        const Status s = fromLog ? log_->read(pgno, parts[0].data())
                                 : db_->readParts(offsetOf(pgno), std::span(parts.data(), count));
        if (!s.ok()) return giveUp(0, s);
        if (!fromLog) lastRead_ = static_cast<std::uint32_t>(pgno + count - 1);
        *wanted = slots[0];
        return Status::OK();
    }

    // When the cache is full and its oldest page is dirty, writes out a batch
    // of the oldest dirty pages so that clean ones can go. Added pages cost a
    // flush of the log per batch: a batch with any takes every dirty added
    // page of the cache along.
    Status makeRoom() {
        if (!cache_.full() || !cache_.oldest()->dirty) return Status::OK();
        std::vector<PageCache::Slot*> batch;
        PageCache::Slot* s = cache_.oldest();
        for (; s && batch.size() < kSpillBatch; s = s->newer)
            if (s->dirty) batch.push_back(s);
        if (std::any_of(batch.begin(), batch.end(), [&](auto* b) { return b->pgno >= originalPages_; }))
            for (; s; s = s->newer)
                if (s->dirty && s->pgno >= originalPages_) batch.push_back(s);
        return writeOut(batch);
    }

    // Writes dirty pages out: those the file had when the transaction began
    // into the log, the added ones into the file, once the log lists them
    // (so that pages found past the original end after a crash are known
    // to be this transaction's). With a writer, the added ones go beside
    // the caller, who waits for them (settle()) before the files' next
    // change.
    Status writeOut(std::vector<PageCache::Slot*>& slots) {
        JET_TRY(settle());
        std::sort(slots.begin(), slots.end(), [](auto* a, auto* b) { return a->pgno < b->pgno; });
        auto added =
            std::partition_point(slots.begin(), slots.end(), [&](auto* s) { return s->pgno < originalPages_; });
        if (added != slots.begin()) {
            std::vector<WriteAheadLog::Entry> logged;
            for (auto it = slots.begin(); it != added; ++it) logged.push_back({(*it)->pgno, (*it)->page.get()});
            JET_TRY(log_->write(logged));
        }
        for (PageCache::Slot* s : slots) s->dirty = false;
        std::vector<PageRun> runs = runsOf({added, slots.end()});
        if (runs.empty()) return Status::OK();
        auto batch = [this, runs = std::move(runs)] { return writeAdded(runs); };
        if (!writer_) return batch();
        writer_->start(std::move(batch));
        return Status::OK();
    }

    // Consecutive pages (sorted by number) in runs of at most kRunPages.
    static std::vector<PageRun> runsOf(std::span<PageCache::Slot* const> sorted) {
        std::vector<PageRun> runs;
        for (std::size_t i = 0; i < sorted.size(); ++i) {
            const bool follows =
                i > 0 && runs.back().pages.size() < kRunPages && sorted[i]->pgno == sorted[i - 1]->pgno + 1;
            if (!follows) runs.push_back({sorted[i]->pgno, {}});
            runs.back().pages.push_back(sorted[i]->page);
        }
        return runs;
    }

    // The log lists the added pages, then they go into the file and start on
    // their way to the disk: the commit waits for them, and then finds most
    // of them there.
    Status writeAdded(const std::vector<PageRun>& runs) {
        std::vector<WriteAheadLog::Entry> listed;
        for (const PageRun& run : runs)
            for (std::size_t k = 0; k < run.pages.size(); ++k)
                listed.push_back({run.first + static_cast<std::uint32_t>(k), run.pages[k].get()});
        JET_TRY(log_->writeAdded(listed));
        return writeRuns(*db_, runs);
    }

    // Waits for the pages being written, if any: what their writes came to.
    Status settle() { return writer_ ? writer_->wait() : Status::OK(); }

    const std::string logPath_;
    const Mode mode_;
    std::shared_ptr<FileLayer> files_;
    std::unique_ptr<File> db_;
    std::uint32_t pages_;
    PageCache cache_;

    // The open transaction's log; for a reader, a committed one left behind.
    std::unique_ptr<WriteAheadLog> log_;
    State state_ = State::Idle; // pager.h draws the states
    Status failure_;            // why the state accepts no more (OK in Idle and Writing)
    std::uint32_t originalPages_ = 0;
    std::uint32_t lastRead_ = 0;         // the last page read from the file
    std::unique_ptr<PageWriter> writer_; // where the file takes two threads; last, so that it goes first
};

} // namespace

double Pager::lastCommitWindow() { return lastWindow; }

Status Pager::open(const std::string& path, Mode mode, const Options& options, std::unique_ptr<Pager>* out) {
    std::shared_ptr<FileLayer> files = options.file ? options.file : systemFileLayer();
    bool exclusive = mode == Mode::Exclusive;
    std::unique_ptr<File> db;
    JET_TRY(files->open(path, exclusive ? FileLayer::Access::ReadWrite : FileLayer::Access::Read,
                        exclusive ? FileLayer::Lock::Exclusive : FileLayer::Lock::Shared, &db));
    const std::string real = files->realPath(path);
    std::uint64_t size = 0;
    std::unique_ptr<WriteAheadLog> committed;
    std::vector<OpenNotice> unheard;
    JET_TRY(settleLeftovers(*files, path, real, exclusive, *db, &size, &committed,
                            options.notices ? options.notices : &unheard));
    // A writer needs its log beside the file: a folder that takes no new file
    // fails the open, before anything is asked or written, not the first
    // write.
    if (exclusive) JET_TRY(WriteAheadLog::probe(*files, logPathOf(real)));
    JET_TRY(checkSize(size));
    auto pages = static_cast<std::uint32_t>(std::min<std::uint64_t>(size / kPageSize, UINT32_MAX));
    out->reset(new PagerImpl(real, mode, std::move(files), std::move(db), pages,
                             std::max(options.cachePages, kMinCachePages), std::move(committed)));
    return Status::OK();
}

} // namespace jet
