// The write-ahead log: the new content of the pages a transaction changes,
// kept in a file beside the database, so that no page the database holds
// is overwritten before the transaction is committed. The log also records
// what it belongs to, so that a log left behind is applied only to the
// database, and the state of it, that it was written for.
//
// Layout (little-endian):
//   header  "VLMWAL02", page size u32, original page count u32, salt u32,
//           identity u32, CRC-32 of the preceding 24 bytes u32. The identity
//           is the CRC-32 of the header page's first 0xE00 bytes (signature,
//           version, key, creation date, sort order) as the log began; the
//           rest of that page holds commit bytes that other programs rewrite.
//   records of 12 + 4096 bytes each: word u32, word u32, check u32, body
//     page  page number (below the original count), CRC-32 of the page's
//           content when the transaction began, check, the page's new
//           content. One per page, rewritten in place when it changes again.
//     added 0xFFFFFFFE, count n (at most 512), check, n times (page number
//           u32, CRC-32 of its content u32) for pages past the original end
//           about to be written into the database, then zeros.
//     check: CRC-32 of (salt, the two words, CRC-32 of the body).
//   commit  0xFFFFFFFF u32, new page count u32, record count u32,
//           CRC-32 of (salt, the two counts, every record's check in order) u32
//
// Order on the disk: the header before the database is touched; an added
// record before the pages it lists go into the database (one flush of the
// log per batch of added pages); the commit record together with every
// record, after the added pages; only then are the logged pages copied
// into the database. A log without an intact commit record therefore means
// that the database holds its original pages, and past its original end at
// most pages an added record lists (or holes, zeros, where a write never
// reached the disk); a log with one holds everything needed to finish the
// copy, as often as it takes.
//
// A log left behind is applied only when the database is in a state the log
// can have left it in (mismatch() below):
//   not committed: the file is at least its original length, the header page
//     is the recorded one, every logged page still holds its recorded
//     original, every page past the original end holds content an added
//     record lists for it, or zeros, and the file is no longer than the last
//     page listed. Then nobody else wrote to the file since, and it is cut
//     back to its original length.
//   committed: the file is at least as long as the commit says, the header
//     page is the recorded one (or, when the log covers it, the page check
//     below decides), every logged page holds its recorded original or the
//     log's new content, and every added page holds its last listed content.
//     Then the logged pages are copied into place; nothing is cut.
// A log that does not fit is never applied and nothing is cut (leftover.h).
// Neither is a log of the release before ("VLMWAL01"), which records none of
// this: it cannot be told from one of another database or another state.
// Setting it aside keeps every byte of the database; when its run had been
// saved, the database may have been left half written by a crash during
// the copy into place, which nobody can tell here, and the user is told to
// check it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "jet/io/file_layer.h"
#include "jet/io/pager.h"
#include "jet/status.h"

namespace jet {

constexpr const char* kLogSuffix = "-wal";
std::string logPathOf(const std::string& databasePath);

struct LeftoverLog;

class WriteAheadLog {
public:
    // Creates the log of a transaction on `database`, a file of
    // `originalPages` pages; its header and folder entry are on the disk when
    // this returns. The log reads the database's original pages through
    // `database`, which must outlive it.
    static Status create(FileLayer& files, const std::string& path, File& database, std::uint32_t originalPages,
                         std::unique_ptr<WriteAheadLog>* out);

    // Makes an empty log at `path` and removes it: whether a log can be made
    // there at all. Should a crash leave it behind, an empty log is one whose
    // header never got out: readers pass over it and the next writer removes
    // it.
    static Status probe(FileLayer& files, const std::string& path);

    bool holds(std::uint32_t pgno) const { return slots_.count(pgno) != 0; }
    // The page's content as last logged (kPageSize bytes).
    Status read(std::uint32_t pgno, std::uint8_t* out) const;

    struct Entry {
        std::uint32_t pgno;
        const Page* page;
    };
    // Logs the new content of pages the database had (no flush). A page
    // logged before keeps its record, which is overwritten; a page logged
    // for the first time has its original read and summed.
    Status write(const std::vector<Entry>& pages);
    // Lists pages past the original end with their content, and flushes the
    // log: only then may they go into the database.
    Status writeAdded(const std::vector<Entry>& pages);
    // Writes the commit record for a database of `newPages` pages and flushes
    // the log: from here on the transaction survives a crash.
    Status commit(std::uint32_t newPages);
    // Writes every logged page into its place in `database` (no flush).
    Status copyInto(File& database) const;
    std::uint32_t newPages() const { return newPages_; }

    // Takes a commit record that may have reached the disk before a failed
    // flush back out of the log; the other records stay.
    Status discard();

private:
    friend Status readLeftoverLog(FileLayer&, const std::string&, LeftoverLog*);
    WriteAheadLog(std::unique_ptr<File> file, File* database, std::uint32_t originalPages, std::uint32_t salt);
    Status writeRecords(std::uint32_t first, const std::vector<std::uint32_t>& checks);

    struct Slot {
        std::uint32_t record;
        std::uint32_t original; // CRC-32 of the page's original content
    };

    std::unique_ptr<File> file_;
    File* database_; // null for a log read back
    std::uint32_t originalPages_;
    std::uint32_t salt_;
    std::uint32_t newPages_ = 0;
    std::unordered_map<std::uint32_t, Slot> slots_; // by page number
    std::vector<std::uint32_t> checks_;             // by record number
    std::vector<std::uint8_t> buffer_;              // records on their way to the log
};

// A log left beside a database by an interrupted run, as read back.
struct LeftoverLog {
    enum class Kind {
        Unstarted, // its header never reached the disk: the database was never touched
        Usable,    // a log of this release; whether it fits the database is mismatch()'s to say
        Unusable   // not a log of this release, or damaged: never applied (see `unusable`)
    };
    Kind kind = Kind::Unstarted;
    std::string unusable; // why, in a few plain words
    std::uint32_t originalPages = 0;
    std::uint32_t identity = 0;
    struct Logged {
        std::uint32_t pgno;
        std::uint32_t original; // CRC-32 of the page's content before the transaction
        std::uint32_t image;    // CRC-32 of the content logged for it
    };
    std::vector<Logged> logged; // every intact page record
    // (page number, CRC-32 of its content) from every intact added record,
    // in the order written.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> added;
    // The committed transaction, ready to be read or copied; null when the
    // log holds no intact commit record.
    std::unique_ptr<WriteAheadLog> committed;
};

Status readLeftoverLog(FileLayer& files, const std::string& path, LeftoverLog* out);

// REQUIRES: log.kind == Usable. Leaves `why` empty when `database` is in a
// state the log can have left it in; otherwise says why not, in a few plain
// words. Reads the header page, the logged pages and the pages past the
// original end.
Status mismatch(const LeftoverLog& log, File& database, std::string* why);

// REQUIRES: mismatch() found nothing. Finishes the copy of a committed
// transaction, or cuts the database back to its original length; flushes
// it. The log stays: the caller deletes it.
Status applyLeftoverLog(const LeftoverLog& log, File& database);

} // namespace jet
