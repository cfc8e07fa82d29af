// Hostile bytes read and written as a database, kept in memory: shared by
// the libFuzzer targets and the test that replays what they found.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "jet/check.h"
#include "jet/status.h"

namespace fuzz {

// Damage described compactly, so that the fuzzer mutates a small description
// and every change lands inside a page: byte 0 chooses the fixture in
// `dataDir` (even: blank.mdb, odd: sample.mdb); then records of
//   page (2 bytes, little-endian, modulo the page count)
//   offset in the page (2 bytes, little-endian, modulo the page size)
//   count (1 byte) and that many bytes (fewer when the input ends),
// clipped at the end of the file.
std::vector<std::uint8_t> applyPatches(const std::string& dataDir, const std::uint8_t* data, std::size_t size);

struct Outcome {
    jet::Status open;  // opening the buffer as a database
    jet::Status dump;  // the JSON dump (when it opened)
    jet::Status check; // the check itself (when it opened)
    jet::CheckReport report;
};

// Opens the bytes as a database, dumps it and checks it.
Outcome readWhole(const std::uint8_t* data, std::size_t size);

struct AppendOutcome {
    jet::Status open;   // opening the copy for writing
    jet::Status append; // the first append that failed other than by a refusal
    jet::Status end;    // the commit, or the rollback after a failed append
    jet::Status check;  // checking the copy afterwards
    jet::CheckReport report;
};

// Appends a few rows of the sample fixture in `dataDir`, and variants of them
// that unique indexes accept, to every user table of the same name in one
// transaction, then checks the copy: the writer (index trees, keys, usage
// maps, long values, the log) over whatever the damage left.
AppendOutcome appendCopy(const std::string& dataDir, const std::uint8_t* data, std::size_t size);

} // namespace fuzz
