// The rollback journal: the original content of every page a transaction
// overwrites, kept in a file beside the database until the transaction is
// committed.
//
// Layout (little-endian):
//   header  "VLMJRNL1", page size u32, original page count u32, salt u32,
//           CRC-32 of the preceding 20 bytes u32
//   records page number u32, CRC-32 of (salt, page number, content) u32,
//           the page's original content
// The header and every record reach the disk before the database file is
// touched in a way they undo. A header that does not check out therefore
// means the database was never touched; a record that does not check out
// means its page was never overwritten.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "jet/io/file_layer.h"
#include "jet/status.h"

namespace jet {

constexpr const char* kJournalSuffix = "-journal";
std::string journalPathOf(const std::string& databasePath);

class JournalWriter {
public:
    // Creates the journal, writes its header and makes both the file and its
    // folder entry durable.
    static Status create(FileLayer& files, const std::string& path, std::uint32_t originalPages,
                         std::unique_ptr<JournalWriter>* out);

    // Room for the original content of page pgno in the next batch.
    std::uint8_t* stage(std::uint32_t pgno);
    std::size_t staged() const;
    // Appends the staged records to the journal; a batch that fails to be
    // written is dropped (its pages must then stay untouched).
    Status writeStaged();
    Status sync();

private:
    JournalWriter(std::unique_ptr<File> file, std::uint32_t salt);

    std::unique_ptr<File> file_;
    std::uint32_t salt_;
    std::uint64_t end_;
    std::vector<std::uint8_t> batch_;
};

// Undoes an interrupted transaction: puts back the pages recorded in the
// journal at `path`, cuts `database` back to its original size, flushes it
// and deletes the journal. When this fails the journal stays for the next try.
Status playBackJournal(FileLayer& files, const std::string& path, File& database);

} // namespace jet
