// Verification of a whole database: every row and long value of every table
// read, every index walked and compared with its table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/status.h"

namespace jet {

// What was found in one real index.
struct IndexSummary {
    std::string table;
    std::string index; // its logical names
    bool text = false; // has a text or memo key column
    std::uint64_t entries = 0;
    std::uint64_t keysCompared = 0;
    std::uint64_t keysNotCompared = 0;
};

struct CheckReport {
    std::vector<std::string> problems; // one line each, naming table, index and page
    std::vector<std::string> notes;    // harmless findings (stale statistics, keys not compared)
    std::uint64_t tables = 0;
    std::uint64_t rows = 0;
    std::uint64_t longValues = 0;             // memo and OLE values read
    std::uint64_t indexes = 0;                // real indexes walked
    std::uint64_t entries = 0;                // leaf entries
    std::uint64_t keysCompared = 0;           // entries whose key was re-encoded and matched
    std::uint64_t keysNotCompared = 0;        // entries the encoder cannot reproduce
    std::vector<IndexSummary> indexSummaries; // indexes walked

    bool ok() const { return problems.empty(); }
};

// The bytes a check keeps of a table's rows to compare them with the
// table's indexes. A table whose rows need more is compared a chunk of rows
// at a time, scanning the table and walking its indexes once more for each
// further chunk, so that the check's memory stays bounded whatever the
// file's size; the report is the same.
constexpr std::size_t kCheckRowMemory = std::size_t(32) << 20;

// Checks an open database. Damage is reported in `out`; the Status fails
// only when the check itself cannot run.
Status checkDatabase(Database& db, CheckReport* out, std::size_t rowMemory = kCheckRowMemory);

// Opens `path` read-only and checks it. A file that cannot be opened is the
// returned Status.
Status checkFile(const std::string& path, CheckReport* out, std::size_t rowMemory = kCheckRowMemory);

} // namespace jet
