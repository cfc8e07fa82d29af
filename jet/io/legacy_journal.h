// The rollback journal written by earlier releases: the original content of
// every page a transaction overwrote, kept beside the database until the
// transaction was committed. This release never writes one, but a run of an
// earlier release that was interrupted leaves one behind, beside a database
// whose pages may be partly overwritten: it is played back before the file
// is used.
//
// Layout (little-endian):
//   header  "VLMJRNL1", page size u32, original page count u32, salt u32,
//           CRC-32 of the preceding 20 bytes u32
//   records page number u32, CRC-32 of (salt, page number, content) u32,
//           the page's original content
// The header and every record reached the disk before the database file was
// touched in a way they undo. A header that does not check out therefore
// means the database was never touched; a record that does not check out
// means its page was never overwritten.
#pragma once

#include <string>

#include "jet/io/file_layer.h"
#include "jet/status.h"

namespace jet {

std::string legacyJournalPathOf(const std::string& databasePath);

// Undoes the interrupted transaction: puts back the pages recorded in the
// journal at `path`, cuts `database` back to its original size, flushes it
// and deletes the journal. When this fails the journal stays for the next try.
Status playBackLegacyJournal(FileLayer& files, const std::string& path, File& database);

} // namespace jet
