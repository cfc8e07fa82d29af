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
//
// The journal records nothing else about its database: neither what the
// header page was nor what the pages past the original end hold. It is
// played back only when it fits the database as far as that can tell: the
// database is at least as long as the journal's original length, and every
// intact record puts back a page below that length. Playback then puts the
// original pages back and cuts off the pages past the original end.
#pragma once

#include <string>

#include "jet/io/file_layer.h"
#include "jet/status.h"

namespace jet {

std::string legacyJournalPathOf(const std::string& databasePath);

struct LegacyJournal {
    enum class Kind {
        Unstarted, // its header never reached the disk: the database was never touched
        Fits,      // to be played back
        Unusable   // not a journal, damaged, or not for this database (see `unusable`)
    };
    Kind kind = Kind::Unstarted;
    std::string unusable; // why, in a few plain words
};

// Reads the journal at `path` and judges whether it fits `database`.
Status examineLegacyJournal(FileLayer& files, const std::string& path, File& database, LegacyJournal* out);

// REQUIRES: examineLegacyJournal found that it fits. Puts back the pages
// recorded in the journal, cuts `database` back to its original size and
// flushes it. The journal stays: the caller deletes it.
Status playBackLegacyJournal(FileLayer& files, const std::string& path, File& database);

} // namespace jet
