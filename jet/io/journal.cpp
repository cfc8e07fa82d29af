#include "jet/io/journal.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <random>

#include "jet/util/bytes.h"
#include "jet/io/pager.h"

namespace jet {

namespace {

constexpr char kMagic[8] = {'V', 'L', 'M', 'J', 'R', 'N', 'L', '1'};
constexpr std::size_t kHeaderSize = 24;
constexpr std::size_t kRecordHead = 8;
constexpr std::size_t kRecordSize = kRecordHead + kPageSize;
constexpr std::uint64_t kMaxPages = (std::uint64_t{1} << 31) / kPageSize;

std::array<std::uint32_t, 256> makeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

std::uint32_t crc32(std::uint32_t crc, const std::uint8_t* p, std::size_t n) {
    static const auto table = makeCrcTable();
    crc = ~crc;
    while (n--) crc = table[(crc ^ *p++) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

std::uint32_t recordCrc(std::uint32_t salt, const std::uint8_t* record) {
    std::uint8_t saltBytes[4];
    putLe32(saltBytes, salt);
    std::uint32_t crc = crc32(0, saltBytes, 4);
    crc = crc32(crc, record, 4);
    return crc32(crc, record + kRecordHead, kPageSize);
}

struct Header {
    std::uint32_t originalPages = 0;
    std::uint32_t salt = 0;
};

void encodeHeader(const Header& h, std::uint8_t* out) {
    std::memcpy(out, kMagic, sizeof kMagic);
    putLe32(out + 8, kPageSize);
    putLe32(out + 12, h.originalPages);
    putLe32(out + 16, h.salt);
    putLe32(out + 20, crc32(0, out, 20));
}

bool decodeHeader(const std::uint8_t* in, Header* h) {
    if (std::memcmp(in, kMagic, sizeof kMagic) != 0) return false;
    if (le32(in + 20) != crc32(0, in, 20) || le32(in + 8) != kPageSize) return false;
    h->originalPages = le32(in + 12);
    h->salt = le32(in + 16);
    return h->originalPages <= kMaxPages;
}

Status removeJournal(FileLayer& files, const std::string& path) {
    JET_TRY(files.remove(path));
    return files.syncFolder(path);
}

// Writes every intact record of the journal back into the database. A page
// the database does not have cannot have been overwritten: such a record
// could only come from a foreign file and must not grow the database.
Status restorePages(File& journal, std::uint64_t journalSize, const Header& header,
                    File& database) {
    std::uint64_t databaseSize = 0;
    JET_TRY(database.size(&databaseSize));
    std::uint64_t pages = std::min<std::uint64_t>(header.originalPages, databaseSize / kPageSize);
    std::vector<std::uint8_t> record(kRecordSize);
    for (std::uint64_t at = kHeaderSize; at + kRecordSize <= journalSize; at += kRecordSize) {
        JET_TRY(journal.read(at, record.data(), kRecordSize));
        std::uint32_t pgno = le32(record.data());
        bool intact = le32(record.data() + 4) == recordCrc(header.salt, record.data()) &&
                      pgno < pages;
        if (!intact) continue;
        JET_TRY(database.write(std::uint64_t{pgno} * kPageSize, record.data() + kRecordHead,
                               kPageSize));
    }
    return Status::OK();
}

} // namespace

std::string journalPathOf(const std::string& databasePath) { return databasePath + kJournalSuffix; }

JournalWriter::JournalWriter(std::unique_ptr<File> file, std::uint32_t salt)
    : file_(std::move(file)), salt_(salt), end_(kHeaderSize) {}

Status JournalWriter::create(FileLayer& files, const std::string& path,
                             std::uint32_t originalPages, std::unique_ptr<JournalWriter>* out) {
    std::unique_ptr<File> file;
    Status st = files.open(path, FileLayer::Access::Create, FileLayer::Lock::None, &file);
    if (!st.ok())
        return Status::error(st.code(),
                             "Nie je možné vytvoriť pomocný súbor na vrátenie zmien " + path +
                                 ". " + st.message());
    Header header;
    header.originalPages = originalPages;
    header.salt = std::random_device{}();
    std::uint8_t bytes[kHeaderSize];
    encodeHeader(header, bytes);
    st = file->write(0, bytes, kHeaderSize);
    if (st.ok()) st = file->sync();
    if (st.ok()) st = files.syncFolder(path);
    if (!st.ok()) {
        file.reset();
        files.remove(path); // best effort: a header that never got out is ignored anyway
        return st;
    }
    out->reset(new JournalWriter(std::move(file), header.salt));
    return Status::OK();
}

std::uint8_t* JournalWriter::stage(std::uint32_t pgno) {
    std::size_t at = batch_.size();
    batch_.resize(at + kRecordSize);
    putLe32(&batch_[at], pgno);
    return &batch_[at + kRecordHead];
}

std::size_t JournalWriter::staged() const { return batch_.size() / kRecordSize; }

Status JournalWriter::writeStaged() {
    for (std::size_t at = 0; at < batch_.size(); at += kRecordSize)
        putLe32(&batch_[at + 4], recordCrc(salt_, &batch_[at]));
    Status st = file_->write(end_, batch_.data(), batch_.size());
    if (st.ok()) end_ += batch_.size();
    batch_.clear();
    return st;
}

Status JournalWriter::sync() { return file_->sync(); }

Status playBackJournal(FileLayer& files, const std::string& path, File& database) {
    std::unique_ptr<File> journal;
    JET_TRY(files.open(path, FileLayer::Access::Read, FileLayer::Lock::None, &journal));
    std::uint64_t journalSize = 0;
    JET_TRY(journal->size(&journalSize));
    Header header;
    std::uint8_t bytes[kHeaderSize];
    bool valid = journalSize >= kHeaderSize && journal->read(0, bytes, kHeaderSize).ok() &&
                 decodeHeader(bytes, &header);
    if (valid) {
        JET_TRY(restorePages(*journal, journalSize, header, database));
        std::uint64_t size = 0;
        JET_TRY(database.size(&size));
        std::uint64_t original = std::uint64_t{header.originalPages} * kPageSize;
        if (size > original) JET_TRY(database.truncate(original));
        JET_TRY(database.sync());
    }
    journal.reset();
    return removeJournal(files, path);
}

} // namespace jet
