#include "jet/io/legacy_journal.h"

#include <algorithm>
#include <vector>

#include "jet/io/pager.h"
#include "jet/util/bytes.h"
#include "jet/io/page_record.h"

namespace jet {

namespace {

using page_record::kHeaderSize;

constexpr page_record::Magic kMagic = {'V', 'L', 'M', 'J', 'R', 'N', 'L', '1'};

// Writes every intact record of the journal back into the database. A page
// the database does not have cannot have been overwritten: such a record
// could only come from a foreign file and must not grow the database.
Status restorePages(File& journal, std::uint64_t journalSize, const page_record::Header& header, File& database) {
    std::uint64_t databaseSize = 0;
    JET_TRY(database.size(&databaseSize));
    std::uint64_t pages = std::min<std::uint64_t>(header.originalPages, databaseSize / kPageSize);
    std::vector<std::uint8_t> record(page_record::kSize);
    for (std::uint64_t at = kHeaderSize; at + page_record::kSize <= journalSize; at += page_record::kSize) {
        JET_TRY(journal.read(at, record.data(), page_record::kSize));
        std::uint32_t pgno = le32(record.data());
        bool intact = le32(record.data() + 4) == page_record::crc(header.salt, record.data()) && pgno < pages;
        if (!intact) continue;
        JET_TRY(database.write(std::uint64_t{pgno} * kPageSize, record.data() + page_record::kHead, kPageSize));
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
    page_record::Header header;
    std::uint8_t bytes[kHeaderSize];
    bool valid = journalSize >= kHeaderSize && journal->read(0, bytes, kHeaderSize).ok() &&
                 page_record::decodeHeader(kMagic, bytes, &header);
    if (valid) {
        JET_TRY(restorePages(*journal, journalSize, header, database));
        std::uint64_t size = 0;
        JET_TRY(database.size(&size));
        std::uint64_t original = std::uint64_t{header.originalPages} * kPageSize;
        if (size > original) JET_TRY(database.truncate(original));
        JET_TRY(database.sync());
    }
    journal.reset();
    return files.removeDurably(path);
}

} // namespace jet
