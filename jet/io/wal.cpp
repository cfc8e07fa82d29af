#include "jet/io/wal.h"

#include <algorithm>
#include <cstring>
#include <random>

#include "jet/util/bytes.h"
#include "jet/util/crc32.h"

namespace jet {

namespace {

constexpr char kMagic[8] = {'V', 'L', 'M', 'W', 'A', 'L', '0', '2'};
// The release before this one wrote "VLMWAL01" logs, which record nothing
// that ties them to a database; both begin with these bytes.
constexpr std::size_t kSharedMagic = 7;
constexpr char kEarlierMagic[8] = {'V', 'L', 'M', 'W', 'A', 'L', '0', '1'};
constexpr std::size_t kHeaderSize = 28;
constexpr std::size_t kHead = 12;
constexpr std::size_t kRecordSize = kHead + kPageSize;
constexpr std::size_t kCommitSize = 16;
constexpr std::uint32_t kCommitMark = 0xFFFFFFFF; // never a page number
constexpr std::uint32_t kAddedMark = 0xFFFFFFFE;  // nor this
constexpr std::uint32_t kAddedPerRecord = kPageSize / 8;
// The header page without its last 512 bytes, the commit bytes.
constexpr std::size_t kIdentityBytes = 0xE00;
// Consecutive records, or pages, written or read with one call.
constexpr std::size_t kRunPages = 64;

std::uint64_t recordAt(std::uint32_t record) { return kHeaderSize + std::uint64_t{record} * kRecordSize; }
std::uint64_t offsetOf(std::uint32_t pgno) { return std::uint64_t{pgno} * kPageSize; }
std::uint32_t pageCrc(const std::uint8_t* page) { return crc32(0, page, kPageSize); }

std::uint32_t checkOf(std::uint32_t salt, std::uint32_t first, std::uint32_t second, std::uint32_t bodyCrc) {
    return crcOfWord(crcOfWord(crcOfWord(crcOfWord(0, salt), first), second), bodyCrc);
}

// Fills in the head of a record whose body is in place; returns its check.
std::uint32_t sealRecord(std::uint8_t* record, std::uint32_t salt, std::uint32_t first, std::uint32_t second) {
    putLe32(record, first);
    putLe32(record + 4, second);
    const std::uint32_t check = checkOf(salt, first, second, pageCrc(record + kHead));
    putLe32(record + 8, check);
    return check;
}

std::uint32_t commitCrc(std::uint32_t salt, std::uint32_t newPages, const std::vector<std::uint32_t>& checks) {
    std::uint32_t crc = crcOfWord(crcOfWord(crcOfWord(0, salt), newPages), static_cast<std::uint32_t>(checks.size()));
    for (std::uint32_t c : checks) crc = crcOfWord(crc, c);
    return crc;
}

Status identityOf(File& database, std::uint32_t* out) {
    std::vector<std::uint8_t> bytes(kIdentityBytes);
    JET_TRY(database.read(0, bytes.data(), bytes.size()));
    *out = crc32(0, bytes.data(), bytes.size());
    return Status::OK();
}

bool headerIntact(const std::uint8_t* h, std::size_t have) {
    return have == kHeaderSize && std::memcmp(h, kMagic, sizeof kMagic) == 0 && le32(h + 24) == crc32(0, h, 24) &&
           le32(h + 8) == kPageSize && le32(h + 12) <= kMaxPages;
}

// A header that was being written when the machine stopped: all zeros, or
// a beginning of one of our logs.
bool headerUnfinished(const std::uint8_t* h, std::size_t have) {
    const std::size_t n = std::min(have, kSharedMagic);
    return std::all_of(h, h + have, [](std::uint8_t b) { return b == 0; }) || std::memcmp(h, kMagic, n) == 0;
}

// A log of the release before ends with its commit record when its run was
// saved: 24 bytes of header, records of 8 + 4096 bytes, and 16 bytes that
// begin with the commit mark and count the records.
Status earlierLogCommitted(File& file, std::uint64_t size, bool* committed) {
    constexpr std::uint64_t kEarlierHeader = 24, kEarlierRecord = 8 + kPageSize;
    *committed = false;
    if (size < kEarlierHeader + kCommitSize || (size - kEarlierHeader - kCommitSize) % kEarlierRecord != 0)
        return Status::OK();
    std::uint8_t tail[kCommitSize];
    JET_TRY(file.read(size - kCommitSize, tail, kCommitSize));
    *committed = le32(tail) == kCommitMark && le32(tail + 8) == (size - kEarlierHeader - kCommitSize) / kEarlierRecord;
    return Status::OK();
}

Status unusableWhy(File& file, std::uint64_t size, const std::uint8_t* h, std::size_t have, std::string* why) {
    if (have >= sizeof kEarlierMagic && std::memcmp(h, kEarlierMagic, sizeof kEarlierMagic) == 0) {
        *why = "zanechala ho staršia verzia programu, ktorá nezaznamenávala, ku ktorej databáze a k akému jej stavu "
               "patrí, a to sa nedá overiť";
        bool committed = false;
        JET_TRY(earlierLogCommitted(file, size, &committed));
        // Its run was saved: unless the copy into the database got through,
        // the database may be half written. Nobody can tell which here.
        if (committed)
            *why += "; prerušený zápis už bol uložený celý, a ak ho výpadok prerušil pri prepisovaní databázy, "
                    "databáza môže byť zapísaná len sčasti: overte ju (velmorant-cli check) a podľa potreby ju "
                    "obnovte zo zálohy";
    } else if (have >= sizeof kMagic && std::memcmp(h, kMagic, sizeof kMagic) == 0) {
        *why = "pomocný súbor je poškodený";
    } else {
        *why = "nie je to pomocný súbor tohto programu";
    }
    return Status::OK();
}

std::string pagesText(std::uint64_t bytes) {
    return std::to_string(bytes / kPageSize) + (bytes % kPageSize ? " celých strán a kúsok" : " strán");
}

std::string otherContent(std::uint32_t pgno) {
    return "strana " + std::to_string(pgno) +
           " databázy obsahuje niečo iné, než s čím pomocný súbor počíta (do databázy medzitým zapisoval iný "
           "program, alebo bola nahradená inou kópiou)";
}

// Calls visit(pgno, bytes, length) for every page from `first` to the end
// of a file of `size` bytes (the last one may be partial), reading runs of
// pages at once, until visit returns false.
template <class Visit> Status visitPages(File& database, std::uint32_t first, std::uint64_t size, Visit visit) {
    std::vector<std::uint8_t> run(kRunPages * kPageSize);
    for (std::uint64_t at = offsetOf(first); at < size;) {
        const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(run.size(), size - at));
        JET_TRY(database.read(at, run.data(), length));
        for (std::size_t k = 0; k < length; k += kPageSize)
            if (!visit(static_cast<std::uint32_t>((at + k) / kPageSize), &run[k],
                       std::min<std::size_t>(kPageSize, length - k)))
                return Status::OK();
        at += length;
    }
    return Status::OK();
}

// Pages past the original end of a committed transaction: each holds the
// content last listed for it.
Status checkAddedCommitted(const LeftoverLog& log, File& database, std::string* why) {
    std::unordered_map<std::uint32_t, std::uint32_t> last;
    for (const auto& [pgno, crc] : log.added) last[pgno] = crc;
    return visitPages(database, log.originalPages, offsetOf(log.committed->newPages()),
                      [&](std::uint32_t pgno, const std::uint8_t* bytes, std::size_t) {
                          auto it = last.find(pgno);
                          if (it == last.end() || it->second != pageCrc(bytes)) *why = otherContent(pgno);
                          return why->empty();
                      });
}

// Pages past the original end of a transaction that was not committed: each
// is one it listed, with content it listed, or zeros, and the file ends with
// the last page it listed at the latest.
Status checkAddedUncommitted(const LeftoverLog& log, File& database, std::uint64_t size, std::string* why) {
    std::unordered_multimap<std::uint32_t, std::uint32_t> listed(log.added.begin(), log.added.end());
    std::uint32_t end = log.originalPages;
    for (const auto& entry : log.added) end = std::max(end, entry.first + 1);
    if (size > offsetOf(end)) {
        *why = "databáza má " + pagesText(size) + ", ale prerušený zápis ju mohol predĺžiť najviac na " +
               pagesText(offsetOf(end)) + " (do databázy medzitým zapisoval iný program)";
        return Status::OK();
    }
    return visitPages(database, log.originalPages, size,
                      [&](std::uint32_t pgno, const std::uint8_t* bytes, std::size_t length) {
                          if (std::all_of(bytes, bytes + length, [](std::uint8_t b) { return b == 0; })) return true;
                          const std::uint32_t crc = length == kPageSize ? pageCrc(bytes) : 0;
                          auto [from, to] = listed.equal_range(pgno);
                          if (length < kPageSize || std::none_of(from, to, [&](auto& e) { return e.second == crc; }))
                              *why = "strana " + std::to_string(pgno) +
                                     " za pôvodným koncom databázy nepochádza z prerušeného zápisu (do databázy "
                                     "medzitým zapisoval iný program)";
                          return why->empty();
                      });
}

// Every log is made here, so that a folder that takes none is told alike.
Status createLogFile(FileLayer& files, const std::string& path, std::unique_ptr<File>* out) {
    Status st = files.open(path, FileLayer::Access::Create, FileLayer::Lock::None, out);
    if (!st.ok())
        return Status::error(st.code(),
                             "Nie je možné vytvoriť pomocný súbor na zápis zmien " + path + ". " + st.message());
    return Status::OK();
}

} // namespace

std::string logPathOf(const std::string& databasePath) { return databasePath + kLogSuffix; }

WriteAheadLog::WriteAheadLog(std::unique_ptr<File> file, File* database, std::uint32_t originalPages,
                             std::uint32_t salt)
    : file_(std::move(file)), database_(database), originalPages_(originalPages), salt_(salt) {}

Status WriteAheadLog::create(FileLayer& files, const std::string& path, File& database, std::uint32_t originalPages,
                             std::unique_ptr<WriteAheadLog>* out) {
    std::uint32_t identity = 0;
    JET_TRY(identityOf(database, &identity));
    std::unique_ptr<File> file;
    JET_TRY(createLogFile(files, path, &file));
    const std::uint32_t salt = std::random_device{}();
    std::uint8_t header[kHeaderSize];
    std::memcpy(header, kMagic, sizeof kMagic);
    putLe32(header + 8, kPageSize);
    putLe32(header + 12, originalPages);
    putLe32(header + 16, salt);
    putLe32(header + 20, identity);
    putLe32(header + 24, crc32(0, header, 24));
    Status st = file->write(0, header, kHeaderSize);
    if (st.ok()) st = file->sync();
    if (st.ok()) st = files.syncFolder(path);
    if (!st.ok()) {
        file.reset();
        files.remove(path); // best effort: a header that never got out is ignored anyway
        return st;
    }
    out->reset(new WriteAheadLog(std::move(file), &database, originalPages, salt));
    return Status::OK();
}

Status WriteAheadLog::probe(FileLayer& files, const std::string& path) {
    std::unique_ptr<File> file;
    JET_TRY(createLogFile(files, path, &file));
    file.reset();
    return files.remove(path);
}

Status WriteAheadLog::read(std::uint32_t pgno, std::uint8_t* out) const {
    return file_->read(recordAt(slots_.at(pgno).record) + kHead, out, kPageSize);
}

Status WriteAheadLog::write(const std::vector<Entry>& pages) {
    // Every page gets its record (a new one at the end when it has none);
    // records that follow each other go out with one call.
    struct Planned {
        Slot slot;
        const Entry* entry;
    };
    std::vector<Planned> byRecord;
    auto next = static_cast<std::uint32_t>(checks_.size());
    std::vector<std::uint8_t> original(kPageSize);
    for (const Entry& e : pages) {
        auto it = slots_.find(e.pgno);
        if (it != slots_.end()) {
            byRecord.push_back({it->second, &e});
            continue;
        }
        JET_TRY(database_->read(offsetOf(e.pgno), original.data(), kPageSize));
        byRecord.push_back({{next++, pageCrc(original.data())}, &e});
    }
    std::sort(byRecord.begin(), byRecord.end(), [](auto& a, auto& b) { return a.slot.record < b.slot.record; });
    std::vector<std::uint32_t> checks(byRecord.size());
    for (std::size_t i = 0; i < byRecord.size();) {
        std::size_t end = i + 1;
        while (end < byRecord.size() && end - i < kRunPages &&
               byRecord[end].slot.record == byRecord[end - 1].slot.record + 1)
            ++end;
        buffer_.resize((end - i) * kRecordSize);
        for (std::size_t k = i; k < end; ++k) {
            std::uint8_t* record = &buffer_[(k - i) * kRecordSize];
            std::memcpy(record + kHead, byRecord[k].entry->page->bytes.data(), kPageSize);
            checks[k] = sealRecord(record, salt_, byRecord[k].entry->pgno, byRecord[k].slot.original);
        }
        JET_TRY(file_->write(recordAt(byRecord[i].slot.record), buffer_.data(), buffer_.size()));
        i = end;
    }
    checks_.resize(next);
    for (std::size_t k = 0; k < byRecord.size(); ++k) {
        slots_[byRecord[k].entry->pgno] = byRecord[k].slot;
        checks_[byRecord[k].slot.record] = checks[k];
    }
    return Status::OK();
}

Status WriteAheadLog::writeAdded(const std::vector<Entry>& pages) {
    if (pages.empty()) return Status::OK();
    const std::size_t records = (pages.size() + kAddedPerRecord - 1) / kAddedPerRecord;
    buffer_.assign(records * kRecordSize, 0);
    std::vector<std::uint32_t> checks;
    for (std::size_t r = 0; r < records; ++r) {
        std::uint8_t* record = &buffer_[r * kRecordSize];
        const std::size_t from = r * kAddedPerRecord, to = std::min(pages.size(), from + kAddedPerRecord);
        for (std::size_t k = from; k < to; ++k) {
            putLe32(record + kHead + (k - from) * 8, pages[k].pgno);
            putLe32(record + kHead + (k - from) * 8 + 4, pageCrc(pages[k].page->bytes.data()));
        }
        checks.push_back(sealRecord(record, salt_, kAddedMark, static_cast<std::uint32_t>(to - from)));
    }
    JET_TRY(file_->write(recordAt(static_cast<std::uint32_t>(checks_.size())), buffer_.data(), buffer_.size()));
    checks_.insert(checks_.end(), checks.begin(), checks.end());
    return file_->sync();
}

Status WriteAheadLog::commit(std::uint32_t newPages) {
    const auto count = static_cast<std::uint32_t>(checks_.size());
    std::uint8_t record[kCommitSize];
    putLe32(record, kCommitMark);
    putLe32(record + 4, newPages);
    putLe32(record + 8, count);
    putLe32(record + 12, commitCrc(salt_, newPages, checks_));
    JET_TRY(file_->write(recordAt(count), record, kCommitSize));
    JET_TRY(file_->sync());
    newPages_ = newPages;
    return Status::OK();
}

Status WriteAheadLog::discard() {
    JET_TRY(file_->truncate(recordAt(static_cast<std::uint32_t>(checks_.size()))));
    return file_->sync();
}

Status WriteAheadLog::copyInto(File& database) const {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> pages; // page number, record
    for (const auto& [pgno, slot] : slots_) pages.emplace_back(pgno, slot.record);
    std::sort(pages.begin(), pages.end());
    std::vector<std::uint8_t> run, records;
    for (std::size_t i = 0; i < pages.size();) {
        std::size_t end = i + 1;
        while (end < pages.size() && end - i < kRunPages && pages[end].first == pages[end - 1].first + 1) ++end;
        run.resize((end - i) * kPageSize);
        // Pages of the run whose records follow one another in the log (a
        // spill writes its pages in order) come with one read.
        for (std::size_t k = i; k < end;) {
            std::size_t last = k + 1;
            while (last < end && pages[last].second == pages[last - 1].second + 1) ++last;
            records.resize((last - k) * kRecordSize);
            JET_TRY(file_->read(recordAt(pages[k].second), records.data(), records.size()));
            for (std::size_t m = k; m < last; ++m)
                std::memcpy(&run[(m - i) * kPageSize], &records[(m - k) * kRecordSize + kHead], kPageSize);
            k = last;
        }
        JET_TRY(database.write(offsetOf(pages[i].first), run.data(), run.size()));
        i = end;
    }
    return Status::OK();
}

// Reads every record up to the commit record. A record that does not check
// out may have been cut short by a crash while it was rewritten; those
// after it still count. The log counts as committed only when every record
// and the commit record check out.
Status readLeftoverLog(FileLayer& files, const std::string& path, LeftoverLog* out) {
    *out = LeftoverLog{};
    std::unique_ptr<File> file;
    JET_TRY(files.open(path, FileLayer::Access::Read, FileLayer::Lock::None, &file));
    std::uint64_t size = 0;
    JET_TRY(file->size(&size));
    std::uint8_t header[kHeaderSize] = {};
    const auto have = static_cast<std::size_t>(std::min<std::uint64_t>(size, kHeaderSize));
    JET_TRY(file->read(0, header, have));
    if (!headerIntact(header, have)) {
        // The header is flushed before anything else is written: a log of
        // no more than a header that does not check out was never used.
        if (size > kHeaderSize || !headerUnfinished(header, have)) {
            out->kind = LeftoverLog::Kind::Unusable;
            JET_TRY(unusableWhy(*file, size, header, have, &out->unusable));
        }
        return Status::OK();
    }
    out->kind = LeftoverLog::Kind::Usable;
    out->originalPages = le32(header + 12);
    out->identity = le32(header + 20);
    const std::uint32_t salt = le32(header + 16);
    const auto damaged = [&] {
        *out = LeftoverLog{};
        out->kind = LeftoverLog::Kind::Unusable;
        out->unusable = "pomocný súbor je poškodený";
        return Status::OK();
    };

    std::unique_ptr<WriteAheadLog> log(new WriteAheadLog(std::move(file), nullptr, out->originalPages, salt));
    std::vector<std::uint8_t> record(kRecordSize);
    bool allIntact = true;
    for (std::uint32_t n = 0;; ++n) {
        const std::uint64_t at = recordAt(n);
        if (at + kCommitSize > size) return Status::OK();
        const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(kRecordSize, size - at));
        JET_TRY(log->file_->read(at, record.data(), length));
        const std::uint32_t first = le32(record.data()), second = le32(record.data() + 4);
        if (first == kCommitMark) {
            const bool intact = allIntact && le32(record.data() + 8) == n &&
                                le32(record.data() + 12) == commitCrc(salt, second, log->checks_) &&
                                second >= out->originalPages && second <= kMaxPages;
            if (intact) {
                log->newPages_ = second;
                out->committed = std::move(log);
            }
            return Status::OK();
        }
        if (length < kRecordSize) return Status::OK();
        const std::uint8_t* body = record.data() + kHead;
        const std::uint32_t bodyCrc = pageCrc(body);
        log->checks_.push_back(le32(record.data() + 8));
        if (log->checks_.back() != checkOf(salt, first, second, bodyCrc)) {
            allIntact = false;
            continue;
        }
        // An intact record that no writer of ours makes: a page past the
        // original end, a page twice, an overfull list.
        if (first == kAddedMark) {
            if (second > kAddedPerRecord) return damaged();
            for (std::uint32_t k = 0; k < second; ++k) {
                const std::uint32_t pgno = le32(body + 8 * k);
                if (pgno < out->originalPages || pgno >= kMaxPages) return damaged();
                out->added.emplace_back(pgno, le32(body + 8 * k + 4));
            }
        } else {
            if (first >= out->originalPages || !log->slots_.emplace(first, WriteAheadLog::Slot{n, second}).second)
                return damaged();
            out->logged.push_back({first, second, bodyCrc});
        }
    }
}

Status mismatch(const LeftoverLog& log, File& database, std::string* why) {
    why->clear();
    const bool committed = log.committed != nullptr;
    std::uint64_t size = 0;
    JET_TRY(database.size(&size));
    const std::uint64_t needed = offsetOf(committed ? log.committed->newPages() : log.originalPages);
    if (size < needed) {
        *why = "databáza má " + pagesText(size) + ", pomocný súbor počíta aspoň s " + pagesText(needed) +
               " (databáza bola medzitým nahradená inou kópiou, napríklad zálohou)";
        return Status::OK();
    }
    // A committed log may hold the header page itself; then the page check
    // below judges it.
    const bool headerLogged =
        committed && std::any_of(log.logged.begin(), log.logged.end(), [](auto& p) { return p.pgno == 0; });
    std::uint32_t identity = 0;
    if (!headerLogged) JET_TRY(identityOf(database, &identity));
    if (!headerLogged && identity != log.identity) {
        *why = "hlavička databázy nie je tá, pri ktorej pomocný súbor vznikol (patrí k inej databáze)";
        return Status::OK();
    }
    std::vector<std::uint8_t> page(kPageSize);
    for (const LeftoverLog::Logged& p : log.logged) {
        JET_TRY(database.read(offsetOf(p.pgno), page.data(), kPageSize));
        const std::uint32_t now = pageCrc(page.data());
        if (now != p.original && !(committed && now == p.image)) {
            *why = otherContent(p.pgno);
            return Status::OK();
        }
    }
    return committed ? checkAddedCommitted(log, database, why) : checkAddedUncommitted(log, database, size, why);
}

Status applyLeftoverLog(const LeftoverLog& log, File& database) {
    if (log.committed) {
        JET_TRY(log.committed->copyInto(database));
    } else {
        std::uint64_t size = 0;
        JET_TRY(database.size(&size));
        if (size > offsetOf(log.originalPages)) JET_TRY(database.truncate(offsetOf(log.originalPages)));
    }
    return database.sync();
}

} // namespace jet
