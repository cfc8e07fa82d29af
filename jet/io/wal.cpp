#include "jet/io/wal.h"

#include <algorithm>
#include <cstring>
#include <random>

#include "jet/util/bytes.h"
#include "jet/io/page_record.h"

namespace jet {

namespace {

using page_record::kHeaderSize;

constexpr page_record::Magic kMagic = {'V', 'L', 'M', 'W', 'A', 'L', '0', '1'};
constexpr std::size_t kCommitSize = 16;
constexpr std::uint32_t kCommitMark = 0xFFFFFFFF; // never a page number
// Consecutive records, or pages, written with one call.
constexpr std::size_t kRunPages = 64;

std::uint32_t commitCrc(std::uint32_t salt, std::uint32_t newPages, const std::vector<std::uint32_t>& crcs) {
    std::uint32_t crc = crcOfWord(crcOfWord(crcOfWord(0, salt), newPages), static_cast<std::uint32_t>(crcs.size()));
    for (std::uint32_t c : crcs) crc = crcOfWord(crc, c);
    return crc;
}

std::uint64_t recordAt(std::uint32_t record) { return kHeaderSize + std::uint64_t{record} * page_record::kSize; }

} // namespace

std::string logPathOf(const std::string& databasePath) { return databasePath + kLogSuffix; }

WriteAheadLog::WriteAheadLog(std::unique_ptr<File> file, std::uint32_t originalPages, std::uint32_t salt)
    : file_(std::move(file)), originalPages_(originalPages), salt_(salt) {}

Status WriteAheadLog::create(FileLayer& files, const std::string& path, std::uint32_t originalPages,
                             std::unique_ptr<WriteAheadLog>* out) {
    std::unique_ptr<File> file;
    Status st = files.open(path, FileLayer::Access::Create, FileLayer::Lock::None, &file);
    if (!st.ok())
        return Status::error(st.code(),
                             "Nie je možné vytvoriť pomocný súbor na zápis zmien " + path + ". " + st.message());
    page_record::Header header;
    header.originalPages = originalPages;
    header.salt = std::random_device{}();
    std::uint8_t bytes[kHeaderSize];
    page_record::encodeHeader(kMagic, header, bytes);
    st = file->write(0, bytes, kHeaderSize);
    if (st.ok()) st = file->sync();
    if (st.ok()) st = files.syncFolder(path);
    if (!st.ok()) {
        file.reset();
        files.remove(path); // best effort: a header that never got out is ignored anyway
        return st;
    }
    out->reset(new WriteAheadLog(std::move(file), originalPages, header.salt));
    return Status::OK();
}

Status WriteAheadLog::read(std::uint32_t pgno, std::uint8_t* out) const {
    return file_->read(recordAt(slots_.at(pgno)) + page_record::kHead, out, kPageSize);
}

Status WriteAheadLog::write(const std::vector<Entry>& pages) {
    // Every page gets its record (a new one at the end when it has none);
    // records that follow each other go out with one call.
    std::vector<std::pair<std::uint32_t, const Entry*>> byRecord;
    auto next = static_cast<std::uint32_t>(crcs_.size());
    for (const Entry& e : pages) {
        auto it = slots_.find(e.pgno);
        byRecord.emplace_back(it != slots_.end() ? it->second : next++, &e);
    }
    std::sort(byRecord.begin(), byRecord.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::uint32_t> crcs(byRecord.size());
    for (std::size_t i = 0; i < byRecord.size();) {
        std::size_t end = i + 1;
        while (end < byRecord.size() && end - i < kRunPages && byRecord[end].first == byRecord[end - 1].first + 1)
            ++end;
        buffer_.resize((end - i) * page_record::kSize);
        for (std::size_t k = i; k < end; ++k) {
            std::uint8_t* record = &buffer_[(k - i) * page_record::kSize];
            putLe32(record, byRecord[k].second->pgno);
            std::memcpy(record + page_record::kHead, byRecord[k].second->page->bytes.data(), kPageSize);
            crcs[k] = page_record::crc(salt_, record);
            putLe32(record + 4, crcs[k]);
        }
        JET_TRY(file_->write(recordAt(byRecord[i].first), buffer_.data(), buffer_.size()));
        i = end;
    }
    crcs_.resize(next);
    for (std::size_t k = 0; k < byRecord.size(); ++k) {
        slots_[byRecord[k].second->pgno] = byRecord[k].first;
        crcs_[byRecord[k].first] = crcs[k];
    }
    return Status::OK();
}

Status WriteAheadLog::commit(std::uint32_t newPages) {
    std::uint8_t record[kCommitSize];
    putLe32(record, kCommitMark);
    putLe32(record + 4, newPages);
    putLe32(record + 8, static_cast<std::uint32_t>(crcs_.size()));
    putLe32(record + 12, commitCrc(salt_, newPages, crcs_));
    JET_TRY(file_->write(recordAt(static_cast<std::uint32_t>(crcs_.size())), record, kCommitSize));
    JET_TRY(file_->sync());
    newPages_ = newPages;
    return Status::OK();
}

Status WriteAheadLog::discard() {
    JET_TRY(file_->truncate(kHeaderSize));
    return file_->sync();
}

Status WriteAheadLog::copyInto(File& database) const {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> pages(slots_.begin(), slots_.end());
    std::sort(pages.begin(), pages.end());
    std::vector<std::uint8_t> run;
    for (std::size_t i = 0; i < pages.size();) {
        std::size_t end = i + 1;
        while (end < pages.size() && end - i < kRunPages && pages[end].first == pages[end - 1].first + 1) ++end;
        run.resize((end - i) * kPageSize);
        for (std::size_t k = i; k < end; ++k)
            JET_TRY(file_->read(recordAt(pages[k].second) + page_record::kHead, &run[(k - i) * kPageSize], kPageSize));
        JET_TRY(database.write(std::uint64_t{pages[i].first} * kPageSize, run.data(), run.size()));
        i = end;
    }
    return Status::OK();
}

// Reads the records one after the other up to the commit record. The log
// counts as committed only when every record and the commit record check
// out: a flush cut short may have left any of them behind.
Status readLeftoverLog(FileLayer& files, const std::string& path, LeftoverLog* out) {
    *out = LeftoverLog{};
    std::unique_ptr<File> file;
    JET_TRY(files.open(path, FileLayer::Access::Read, FileLayer::Lock::None, &file));
    std::uint64_t size = 0;
    JET_TRY(file->size(&size));
    page_record::Header header;
    std::uint8_t bytes[kHeaderSize];
    if (size < kHeaderSize) return Status::OK();
    JET_TRY(file->read(0, bytes, kHeaderSize));
    if (!page_record::decodeHeader(kMagic, bytes, &header)) return Status::OK();
    out->originalPages = header.originalPages;

    std::unique_ptr<WriteAheadLog> log(new WriteAheadLog(std::move(file), header.originalPages, header.salt));
    std::vector<std::uint8_t> record(page_record::kSize);
    for (std::uint32_t n = 0;; ++n) {
        const std::uint64_t at = recordAt(n);
        if (at + kCommitSize > size) return Status::OK();
        const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(page_record::kSize, size - at));
        JET_TRY(log->file_->read(at, record.data(), length));
        if (le32(record.data()) == kCommitMark) {
            const std::uint32_t newPages = le32(record.data() + 4);
            bool intact = le32(record.data() + 8) == n &&
                          le32(record.data() + 12) == commitCrc(header.salt, newPages, log->crcs_) &&
                          newPages >= header.originalPages && newPages <= kMaxPages;
            if (!intact) return Status::OK();
            log->newPages_ = newPages;
            out->committed = std::move(log);
            return Status::OK();
        }
        if (length < page_record::kSize) return Status::OK();
        const std::uint32_t pgno = le32(record.data());
        const std::uint32_t crc = le32(record.data() + 4);
        // Only pages the database had before are logged: any other record
        // could only come from a foreign file and must not grow the database.
        if (crc != page_record::crc(header.salt, record.data()) || pgno >= header.originalPages ||
            !log->slots_.emplace(pgno, n).second)
            return Status::OK();
        log->crcs_.push_back(crc);
    }
}

Status recoverFromLog(FileLayer& files, const std::string& path, File& database) {
    LeftoverLog leftover;
    JET_TRY(readLeftoverLog(files, path, &leftover));
    if (leftover.originalPages) {
        std::uint64_t keep = std::uint64_t{*leftover.originalPages} * kPageSize;
        if (leftover.committed) {
            JET_TRY(leftover.committed->copyInto(database));
            keep = std::uint64_t{leftover.committed->newPages()} * kPageSize;
        }
        std::uint64_t size = 0;
        JET_TRY(database.size(&size));
        if (size > keep) JET_TRY(database.truncate(keep));
        JET_TRY(database.sync());
    }
    leftover.committed.reset();
    return files.removeDurably(path);
}

} // namespace jet
