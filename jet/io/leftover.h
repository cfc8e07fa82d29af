// What an interrupted run left beside a database, this release's
// write-ahead log (wal.h) or an earlier release's journal
// (legacy_journal.h), settled when the database is opened.
//
// A writer (an exclusive open) applies a leftover that fits the database and
// deletes it. One that does not fit is never applied and nothing is cut: it
// is renamed, durably, to "<its name>.nepatri-<date>-<time>", so that no later
// open takes it for the database's own and nothing is lost should it belong
// elsewhere, and the user is told which database, the new name and why. A
// reader writes and renames nothing: it reads the database as the next
// writer will leave it, and says the same of a leftover that does not fit.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "jet/io/file_layer.h"
#include "jet/io/wal.h"
#include "jet/options.h"
#include "jet/status.h"

namespace jet {

constexpr const char* kSetAsideInfix = ".nepatri-";

// Settles the leftovers beside `database`: `path` as the caller named it,
// `real` the file itself. *size becomes the size the caller is to read;
// *committed, for a reader, the committed log it is to read through (null
// when none). Each leftover set aside, and each committed transaction
// finished, adds to `notices`.
Status settleLeftovers(FileLayer& files, const std::string& path, const std::string& real, bool writer, File& database,
                       std::uint64_t* size, std::unique_ptr<WriteAheadLog>* committed,
                       std::vector<OpenNotice>* notices);

} // namespace jet
