// Opens a byte buffer as a database file kept in memory, dumps it and checks
// it: everything a reader of a hostile file goes through. Shared by the
// fuzz target and the test that replays what the fuzzer found.
#pragma once

#include <cstddef>
#include <cstdint>

#include "jet/check.h"
#include "jet/status.h"

namespace fuzz {

struct Outcome {
    jet::Status open;  // opening the buffer as a database
    jet::Status dump;  // the JSON dump (when it opened)
    jet::Status check; // the check itself (when it opened)
    jet::CheckReport report;
};

Outcome readWhole(const std::uint8_t* data, std::size_t size);

} // namespace fuzz
