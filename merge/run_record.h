// The record of import runs: one plain-text entry per run, UTF-8, appended
// to importy.log in the user's state folder, so that what a run copied and
// what it left behind can still be read once its outcome box has closed.
// Window and command line write it through the same call.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "jet/status.h"
#include "merge/import_run.h"

namespace merge {

// Once the record would grow past this, its older entries go, down to half
// of it.
inline constexpr std::uintmax_t kRunRecordLimit = std::uintmax_t{1} << 20;

// importy.log in $XDG_STATE_HOME/velmorant (~/.local/state/velmorant when
// that is unset or not absolute); on Windows in %LOCALAPPDATA%\Velmorant.
// A status when the environment names no such folder.
jet::Status runRecordPath(std::filesystem::path* out);

// Appends the entry of a finished run to the record (folder made when
// missing). `program` is the program's name and version. The run and its
// outcome stay as they are whatever happens here; the status says why the
// entry could not be written.
jet::Status recordRun(const ImportResult& result, const std::string& program);

// The parts of recordRun, for tests: the entry's text, and its addition to
// a record file kept below `limit` bytes by dropping the oldest entries
// (the file rewritten whole and put in place by a rename).
std::string runRecordEntry(const ImportResult& result, const std::string& program);
jet::Status appendRunRecord(const std::filesystem::path& file, const std::string& entry, std::uintmax_t limit);

} // namespace merge
