// Writes into a copy of a possibly damaged database: a few rows of the clean
// sample fixture, and variants of them that unique indexes accept, go into
// every user table of the same name in one transaction; the copy is then
// checked. This takes the writer (index trees, keys, usage maps, long
// values, the write-ahead log) over whatever the damage left.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "jet/check.h"
#include "jet/status.h"

namespace fuzz {

struct AppendOutcome {
    jet::Status open;   // opening the copy for writing
    jet::Status append; // the first append that failed other than by a refusal
    jet::Status end;    // the commit, or the rollback after a failed append
    jet::Status check;  // checking the copy afterwards
    jet::CheckReport report;
};

// `dataDir` holds the fixture databases.
AppendOutcome appendCopy(const std::string& dataDir, const std::uint8_t* data, std::size_t size);

} // namespace fuzz
