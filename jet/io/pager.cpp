#include "jet/io/pager.h"

#include <algorithm>
#include <vector>

#include "jet/io/file_layer.h"
#include "jet/io/journal.h"
#include "jet/io/page_cache.h"

namespace jet {

namespace {

using Code = Status::Code;

constexpr std::uint32_t kMaxPages = (std::uint32_t{1} << 31) / kPageSize; // the 2 GB limit
constexpr std::size_t kMinCachePages = 16;
// Dirty pages written out together when the cache needs room: their
// originals share one journal flush.
constexpr std::size_t kSpillBatch = 256;
// Consecutive pages written with one call.
constexpr std::size_t kRunPages = 64;
// Pages read with one call once reads go through the file in order.
constexpr std::size_t kReadAheadPages = 16;

std::uint64_t offsetOf(std::uint32_t pgno) { return std::uint64_t{pgno} * kPageSize; }

// Only sizes are judged here; whether the pages hold a Jet 4 database is the
// reader's question. A size that is not a whole number of pages, or less than
// the header page and the allocation map, cannot be one.
Status checkSize(std::uint64_t size) {
    if (size == 0) return Status::error(Code::NotJet, "Súbor je prázdny.");
    if (size % kPageSize != 0 || size < 2 * kPageSize)
        return Status::error(Code::NotJet, "Súbor nie je databáza Jet 4: jeho veľkosť (" +
                                               std::to_string(size) +
                                               " bajtov) nezodpovedá celým stranám.");
    return Status::OK();
}

Status pastEnd(std::uint32_t pgno, std::uint32_t pages) {
    return Status::error(Code::Corrupt, "Stránka " + std::to_string(pgno) +
                                            " leží za koncom súboru, ktorý má " +
                                            std::to_string(pages) + " strán.");
}

class PagerImpl final : public Pager {
public:
    PagerImpl(const std::string& path, Mode mode, std::shared_ptr<FileLayer> files,
              std::unique_ptr<File> db, std::uint32_t pages, std::size_t cachePages)
        : journalPath_(journalPathOf(path)), mode_(mode),
          files_(std::move(files)), db_(std::move(db)), pages_(pages), cache_(cachePages) {}

    ~PagerImpl() override {
        if (inTransaction_) rollback();
    }

    Mode mode() const override { return mode_; }
    std::uint32_t pageCount() const override { return pages_; }
    std::size_t cachedPages() const override { return cache_.size(); }
    bool inTransaction() const override { return inTransaction_; }

    Status read(std::uint32_t pgno, PageRef* out) override {
        if (!broken_.ok()) return broken_;
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
        if (mode_ == Mode::ReadOnly)
            return Status::error(Code::InvalidArgument, "Súbor je otvorený len na čítanie.");
        if (!broken_.ok()) return broken_;
        if (inTransaction_)
            return Status::error(Code::InvalidArgument, "Transakcia už prebieha.");
        JET_TRY(JournalWriter::create(*files_, journalPath_, pages_, &journal_));
        originalPages_ = pages_;
        journaled_.assign(pages_, false);
        failed_ = Status::OK();
        inTransaction_ = true;
        return Status::OK();
    }

    Status write(std::uint32_t pgno, const Page& page) override {
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

    Status append(const Page& page, std::uint32_t* pgno) override {
        JET_TRY(writable());
        if (pages_ >= kMaxPages)
            return Status::error(Code::TooLarge,
                                 "Databáza by prekročila najväčšiu dovolenú veľkosť 2 GB.");
        JET_TRY(guard(makeRoom()));
        PageCache::Slot* slot = cache_.insert(pages_);
        PageCache::assign(slot, page);
        slot->dirty = true;
        *pgno = pages_++;
        return Status::OK();
    }

    Status commit() override {
        JET_TRY(writable());
        std::vector<PageCache::Slot*> dirty;
        for (PageCache::Slot* s = cache_.oldest(); s; s = s->newer)
            if (s->dirty) dirty.push_back(s);
        JET_TRY(guard(writeOut(dirty)));
        JET_TRY(guard(db_->sync()));
        journal_.reset();
        // Deleting the journal is the moment the transaction takes effect.
        JET_TRY(guard(files_->remove(journalPath_)));
        endTransaction();
        // Should the deletion itself not reach the disk, a crash would merely
        // undo this transaction as a whole; the file stays sound either way.
        (void)files_->syncFolder(journalPath_);
        return Status::OK();
    }

    Status rollback() override {
        if (!inTransaction_)
            return Status::error(Code::InvalidArgument, "Žiadna transakcia neprebieha.");
        if (!broken_.ok()) return broken_;
        journal_.reset();
        cache_.clear();
        Status st = playBackJournal(*files_, journalPath_, *db_);
        if (!st.ok()) {
            broken_ = Status::error(st.code(), st.message() +
                                                   " Súbor treba zatvoriť a znova otvoriť, "
                                                   "zmeny sa potom vrátia.");
            return broken_;
        }
        pages_ = originalPages_;
        endTransaction();
        return Status::OK();
    }

private:
    Status writable() const {
        if (!inTransaction_)
            return Status::error(Code::InvalidArgument, "Zápis mimo transakcie.");
        if (!broken_.ok()) return broken_;
        return failed_;
    }

    // Remembers a failure inside a transaction: from then on only rollback.
    Status guard(Status st) {
        if (!st.ok() && inTransaction_ && failed_.ok()) failed_ = st;
        return st;
    }

    void endTransaction() {
        inTransaction_ = false;
        journaled_.clear();
        journaled_.shrink_to_fit();
    }

    // Reads page `pgno` into the cache (its slot in *wanted); when it follows
    // the page read last, the uncached pages after it come along in the same call.
    Status readRun(std::uint32_t pgno, PageCache::Slot** wanted) {
        std::size_t count = 1;
        if (pgno == lastRead_ + 1)
            while (count < kReadAheadPages && pgno + count < pages_ && count < cache_.capacity() / 2 &&
                   !cache_.holds(static_cast<std::uint32_t>(pgno + count)))
                ++count;
        ahead_.resize(kReadAheadPages * kPageSize);
        JET_TRY(db_->read(offsetOf(pgno), ahead_.data(), count * kPageSize));
        // The wanted page goes in last, so that it is the most recently used.
        for (std::size_t k = count; k-- > 0;) {
            JET_TRY(guard(makeRoom()));
            PageCache::Slot* slot = cache_.insert(static_cast<std::uint32_t>(pgno + k));
            std::copy_n(ahead_.begin() + static_cast<std::ptrdiff_t>(k * kPageSize), kPageSize, slot->page->bytes.begin());
            *wanted = slot;
        }
        lastRead_ = static_cast<std::uint32_t>(pgno + count - 1);
        return Status::OK();
    }

    // When the cache is full and its oldest page is dirty, writes out a batch
    // of the oldest dirty pages so that clean ones can go.
    Status makeRoom() {
        if (!cache_.full() || !cache_.oldest()->dirty) return Status::OK();
        std::vector<PageCache::Slot*> batch;
        for (PageCache::Slot* s = cache_.oldest(); s && batch.size() < kSpillBatch; s = s->newer)
            if (s->dirty) batch.push_back(s);
        return writeOut(batch);
    }

    // Writes dirty pages into the file. The originals of pages that existed
    // before the transaction and have not been saved yet go to the journal
    // first, with one flush for all of them.
    Status writeOut(std::vector<PageCache::Slot*>& slots) {
        std::sort(slots.begin(), slots.end(),
                  [](auto* a, auto* b) { return a->pgno < b->pgno; });
        std::vector<std::uint32_t> saved;
        for (PageCache::Slot* s : slots) {
            if (s->pgno >= originalPages_ || journaled_[s->pgno]) continue;
            JET_TRY(db_->read(offsetOf(s->pgno), journal_->stage(s->pgno), kPageSize));
            saved.push_back(s->pgno);
            if (journal_->staged() == kSpillBatch) JET_TRY(journal_->writeStaged());
        }
        if (!saved.empty()) {
            JET_TRY(journal_->writeStaged());
            JET_TRY(journal_->sync());
            for (std::uint32_t pgno : saved) journaled_[pgno] = true;
        }
        return writeRuns(slots);
    }

    // Writes pages sorted by number, each run of consecutive pages at once.
    Status writeRuns(const std::vector<PageCache::Slot*>& sorted) {
        for (std::size_t i = 0; i < sorted.size();) {
            std::size_t end = i + 1;
            while (end < sorted.size() && end - i < kRunPages &&
                   sorted[end]->pgno == sorted[end - 1]->pgno + 1)
                ++end;
            const std::uint8_t* bytes = sorted[i]->page->bytes.data();
            if (end - i > 1) {
                run_.resize(kRunPages * kPageSize);
                for (std::size_t k = i; k < end; ++k)
                    std::copy(sorted[k]->page->bytes.begin(), sorted[k]->page->bytes.end(),
                              run_.begin() + static_cast<std::ptrdiff_t>((k - i) * kPageSize));
                bytes = run_.data();
            }
            JET_TRY(db_->write(offsetOf(sorted[i]->pgno), bytes, (end - i) * kPageSize));
            for (; i < end; ++i) sorted[i]->dirty = false;
        }
        return Status::OK();
    }

    const std::string journalPath_;
    const Mode mode_;
    std::shared_ptr<FileLayer> files_;
    std::unique_ptr<File> db_;
    std::uint32_t pages_;
    PageCache cache_;

    bool inTransaction_ = false;
    std::unique_ptr<JournalWriter> journal_;
    std::uint32_t originalPages_ = 0;
    std::vector<bool> journaled_; // pages whose original is in the journal
    std::vector<std::uint8_t> run_; // consecutive pages on their way to the file
    std::vector<std::uint8_t> ahead_; // consecutive pages read from the file
    std::uint32_t lastRead_ = 0;      // the last page read from the file
    Status failed_;               // first failure of the open transaction
    Status broken_;               // a rollback that failed: nothing works any more
};

} // namespace

Status Pager::open(const std::string& path, Mode mode, const Options& options,
                   std::unique_ptr<Pager>* out) {
    std::shared_ptr<FileLayer> files = options.file ? options.file : posixFileLayer();
    bool exclusive = mode == Mode::Exclusive;
    std::unique_ptr<File> db;
    JET_TRY(files->open(path, exclusive ? FileLayer::Access::ReadWrite : FileLayer::Access::Read,
                        exclusive ? FileLayer::Lock::Exclusive : FileLayer::Lock::Shared, &db));
    const std::string real = files->realPath(path);
    std::string journal = journalPathOf(real);
    if (files->exists(journal)) {
        if (!exclusive)
            return Status::error(Code::Corrupt,
                                 "Zápis do súboru bol prerušený a súbor sa musí najprv obnoviť; "
                                 "otvorte ho na zápis.");
        Status st = playBackJournal(*files, journal, *db);
        if (!st.ok())
            return Status::error(st.code(), "Prerušený zápis sa nepodarilo vrátiť (" + journal +
                                                "). " + st.message());
    }
    std::uint64_t size = 0;
    JET_TRY(db->size(&size));
    JET_TRY(checkSize(size));
    auto pages = static_cast<std::uint32_t>(std::min<std::uint64_t>(size / kPageSize, UINT32_MAX));
    out->reset(new PagerImpl(real, mode, std::move(files), std::move(db), pages,
                             std::max(options.cachePages, kMinCachePages)));
    return Status::OK();
}

} // namespace jet
