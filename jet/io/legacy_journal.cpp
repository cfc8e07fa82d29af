#include "jet/io/legacy_journal.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "jet/io/pager.h"
#include "jet/util/bytes.h"
#include "jet/io/page_record.h"
#include "jet/util/crc32.h"

namespace jet {

namespace {

using page_record::kHeaderSize;
using page_record::kMaxPages;
constexpr std::size_t kRecordHead = page_record::kHead;
constexpr std::size_t kRecordSize = page_record::kSize;

constexpr char kMagic[8] = {'V', 'L', 'M', 'J', 'R', 'N', 'L', '1'};

struct Header {
    std::uint32_t originalPages = 0;
    std::uint32_t salt = 0;
};

bool decodeHeader(const std::uint8_t* in, Header* h) {
    if (std::memcmp(in, kMagic, sizeof kMagic) != 0) return false;
    if (le32(in + 20) != crc32(0, in, 20) || le32(in + 8) != kPageSize) return false;
    h->originalPages = le32(in + 12);
    h->salt = le32(in + 16);
    return h->originalPages <= kMaxPages;
}

// Writes every intact record of the journal back into the database. A page
// the database does not have cannot have been overwritten: such a record
// could only come from a foreign file and must not grow the database.
Status restorePages(File& journal, std::uint64_t journalSize, const Header& header, File& database) {
    std::uint64_t databaseSize = 0;
    JET_TRY(database.size(&databaseSize));
    std::uint64_t pages = std::min<std::uint64_t>(header.originalPages, databaseSize / kPageSize);
    std::vector<std::uint8_t> record(kRecordSize);
    for (std::uint64_t at = kHeaderSize; at + kRecordSize <= journalSize; at += kRecordSize) {
        JET_TRY(journal.read(at, record.data(), kRecordSize));
        std::uint32_t pgno = le32(record.data());
        bool intact = le32(record.data() + 4) == page_record::crc(header.salt, record.data()) && pgno < pages;
        if (!intact) continue;
        JET_TRY(database.write(std::uint64_t{pgno} * kPageSize, record.data() + kRecordHead, kPageSize));
    }
    return Status::OK();
}

} // namespace

std::string legacyJournalPathOf(const std::string& databasePath) { return databasePath + "-journal"; }

Status playBackLegacyJournal(FileLayer& files, const std::string& path, File& database) {
    std::unique_ptr<File> journal;
    JET_TRY(files.open(path, FileLayer::Access::Read, FileLayer::Lock::None, &journal));
    std::uint64_t journalSize = 0;
    JET_TRY(journal->size(&journalSize));
    Header header;
    std::uint8_t bytes[kHeaderSize];
    bool valid =
        journalSize >= kHeaderSize && journal->read(0, bytes, kHeaderSize).ok() && decodeHeader(bytes, &header);
    if (valid) {
        JET_TRY(restorePages(*journal, journalSize, header, database));
        std::uint64_t size = 0;
        JET_TRY(database.size(&size));
        std::uint64_t original = std::uint64_t{header.originalPages} * kPageSize;
        if (size > original) JET_TRY(database.truncate(original));
        JET_TRY(database.sync());
    }
    journal.reset();
    JET_TRY(files.remove(path));
    return files.syncFolder(path);
}

} // namespace jet
