// The write-ahead log: the new content of the pages a transaction changes,
// kept in a file beside the database, so that no page the database holds
// is overwritten before the transaction is committed.
//
// Layout (little-endian):
//   header  "VLMWAL01", page size u32, original page count u32, salt u32,
//           CRC-32 of the preceding 20 bytes u32
//   records page number u32, CRC-32 of (salt, page number, content) u32,
//           the page's new content; one record per page, rewritten in place
//           when the page changes again
//   commit  0xFFFFFFFF u32, new page count u32, record count u32,
//           CRC-32 of (salt, the two counts, every record's CRC in order) u32
// The header reaches the disk before the database grows; the commit record
// reaches it together with every record, and only then are the logged pages
// copied into the database. A log without an intact commit record therefore
// means that the database holds its original pages and at most some added
// ones past its original end; a log with one holds everything needed to
// finish the copy, as often as it takes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "jet/io/file_layer.h"
#include "jet/io/pager.h"
#include "jet/status.h"

namespace jet {

constexpr const char* kLogSuffix = "-wal";
std::string logPathOf(const std::string& databasePath);

class WriteAheadLog;

// What a log left behind by an interrupted run holds.
struct LeftoverLog {
    // The database's page count before the transaction; none when the
    // header never reached the disk (then the database was never touched).
    std::optional<std::uint32_t> originalPages;
    // The committed transaction, ready to be read or copied; null when the
    // log holds no intact commit record.
    std::unique_ptr<WriteAheadLog> committed;
};

class WriteAheadLog {
public:
    // Creates the log of a transaction on a database of `originalPages`
    // pages; its header and folder entry are on the disk when this returns.
    static Status create(FileLayer& files, const std::string& path, std::uint32_t originalPages,
                         std::unique_ptr<WriteAheadLog>* out);

    bool holds(std::uint32_t pgno) const { return slots_.count(pgno) != 0; }
    // The page's content as last logged (kPageSize bytes).
    Status read(std::uint32_t pgno, std::uint8_t* out) const;

    struct Entry {
        std::uint32_t pgno;
        const Page* page;
    };
    // Logs the pages' new content (no flush). A page logged before keeps its
    // record, which is overwritten.
    Status write(const std::vector<Entry>& pages);
    // Writes the commit record for a database of `newPages` pages and flushes
    // the log: from here on the transaction survives a crash.
    Status commit(std::uint32_t newPages);
    // Writes every logged page into its place in `database` (no flush).
    Status copyInto(File& database) const;
    std::uint32_t newPages() const { return newPages_; }

    // Cuts a log back to its header: a commit record that may have reached
    // the disk before a failed flush no longer counts.
    Status discard();

private:
    friend Status readLeftoverLog(FileLayer&, const std::string&, LeftoverLog*);
    WriteAheadLog(std::unique_ptr<File> file, std::uint32_t originalPages, std::uint32_t salt);

    std::unique_ptr<File> file_;
    std::uint32_t originalPages_;
    std::uint32_t salt_;
    std::uint32_t newPages_ = 0;
    std::unordered_map<std::uint32_t, std::uint32_t> slots_; // page number -> record number
    std::vector<std::uint32_t> crcs_;                        // by record number
    std::vector<std::uint8_t> buffer_;                       // records on their way to the log
};

Status readLeftoverLog(FileLayer& files, const std::string& path, LeftoverLog* out);

// Puts the database right after an interrupted run: finishes the copy of a
// committed transaction, or cuts the database back to its original length,
// flushes it and deletes the log. When this fails the log stays for the
// next try.
Status recoverFromLog(FileLayer& files, const std::string& path, File& database);

} // namespace jet
