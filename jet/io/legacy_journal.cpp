#include "jet/io/legacy_journal.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "jet/io/pager.h"
#include "jet/util/bytes.h"
#include "jet/util/crc32.h"

namespace jet {

namespace {

constexpr char kMagic[8] = {'V', 'L', 'M', 'J', 'R', 'N', 'L', '1'};
constexpr std::size_t kHeaderSize = 24;
constexpr std::size_t kHead = 8;
constexpr std::size_t kRecordSize = kHead + kPageSize;

// The journal open for reading, with what its header says.
struct Journal {
    std::unique_ptr<File> file;
    std::uint64_t size = 0;
    std::uint8_t header[kHeaderSize] = {};
    bool intact = false; // the header checks out
    std::uint32_t originalPages = 0;
    std::uint32_t salt = 0;
};

Status openJournal(FileLayer& files, const std::string& path, Journal* j) {
    JET_TRY(files.open(path, FileLayer::Access::Read, FileLayer::Lock::None, &j->file));
    JET_TRY(j->file->size(&j->size));
    const auto have = static_cast<std::size_t>(std::min<std::uint64_t>(j->size, kHeaderSize));
    JET_TRY(j->file->read(0, j->header, have));
    const std::uint8_t* h = j->header;
    j->intact = have == kHeaderSize && std::memcmp(h, kMagic, sizeof kMagic) == 0 && le32(h + 20) == crc32(0, h, 20) &&
                le32(h + 8) == kPageSize && le32(h + 12) <= kMaxPages;
    j->originalPages = le32(h + 12);
    j->salt = le32(h + 16);
    return Status::OK();
}

// Calls visit(page number, original content) for every intact record, until
// it fails.
template <class Visit> Status forEachIntactRecord(const Journal& j, Visit visit) {
    std::vector<std::uint8_t> record(kRecordSize);
    for (std::uint64_t at = kHeaderSize; at + kRecordSize <= j.size; at += kRecordSize) {
        JET_TRY(j.file->read(at, record.data(), kRecordSize));
        const std::uint32_t crc =
            crc32(crc32(crcOfWord(0, j.salt), record.data(), 4), record.data() + kHead, kPageSize);
        if (le32(record.data() + 4) == crc) JET_TRY(visit(le32(record.data()), record.data() + kHead));
    }
    return Status::OK();
}

std::uint64_t offsetOf(std::uint32_t pgno) { return std::uint64_t{pgno} * kPageSize; }

} // namespace

std::string legacyJournalPathOf(const std::string& databasePath) { return databasePath + "-journal"; }

Status examineLegacyJournal(FileLayer& files, const std::string& path, File& database, LegacyJournal* out) {
    *out = LegacyJournal{};
    Journal j;
    JET_TRY(openJournal(files, path, &j));
    const auto unusable = [&](std::string why) {
        out->kind = LegacyJournal::Kind::Unusable;
        out->unusable = std::move(why);
        return Status::OK();
    };
    if (!j.intact) {
        // Zeros or the beginning of our header, and nothing after it: never used.
        const std::size_t have = static_cast<std::size_t>(std::min<std::uint64_t>(j.size, kHeaderSize));
        const bool ours = std::memcmp(j.header, kMagic, std::min(have, sizeof kMagic)) == 0 ||
                          std::all_of(j.header, j.header + have, [](std::uint8_t b) { return b == 0; });
        if (j.size <= kHeaderSize && ours) return Status::OK();
        return unusable(ours ? "denník je poškodený" : "nie je to denník zmien tohto programu");
    }
    std::uint64_t size = 0;
    JET_TRY(database.size(&size));
    if (size < offsetOf(j.originalPages))
        return unusable("databáza má " + std::to_string(size / kPageSize) + " strán, denník počíta aspoň s " +
                        std::to_string(j.originalPages) +
                        " (databáza bola medzitým nahradená inou kópiou, napríklad zálohou)");
    std::optional<std::uint32_t> outside; // the first page it puts back that the file did not have
    JET_TRY(forEachIntactRecord(j, [&](std::uint32_t pgno, const std::uint8_t*) {
        if (pgno >= j.originalPages && !outside) outside = pgno;
        return Status::OK();
    }));
    if (outside)
        return unusable("denník obnovuje stranu " + std::to_string(*outside) +
                        ", ktorú databáza pred prerušeným zápisom nemala (denník patrí k inej databáze)");
    out->kind = LegacyJournal::Kind::Fits;
    return Status::OK();
}

Status playBackLegacyJournal(FileLayer& files, const std::string& path, File& database) {
    Journal j;
    JET_TRY(openJournal(files, path, &j));
    JET_TRY(forEachIntactRecord(j, [&](std::uint32_t pgno, const std::uint8_t* content) {
        return database.write(offsetOf(pgno), content, kPageSize);
    }));
    std::uint64_t size = 0;
    JET_TRY(database.size(&size));
    if (size > offsetOf(j.originalPages)) JET_TRY(database.truncate(offsetOf(j.originalPages)));
    return database.sync();
}

} // namespace jet
