// CRC-32 (the reflected 0xEDB88320 polynomial) of the checksums in the files
// kept beside a database while it is written. Every page a merge adds is
// summed once, so long runs are folded sixteen bytes at a time by carry-less
// multiplication where the processor has it, and by tables otherwise.
#pragma once

#include <cstddef>
#include <cstdint>

#include "jet/util/bytes.h"

namespace jet {

// Continues `crc` (0 to start) over n bytes at p.
std::uint32_t crc32(std::uint32_t crc, const std::uint8_t* p, std::size_t n);

// Continues `crc` over a word as stored: four bytes, little-endian.
inline std::uint32_t crcOfWord(std::uint32_t crc, std::uint32_t word) {
    std::uint8_t bytes[4];
    putLe32(bytes, word);
    return crc32(crc, bytes, 4);
}

namespace crc32_detail {

// crc32 by tables alone, as on a processor without carry-less multiplication.
std::uint32_t byTables(std::uint32_t crc, const std::uint8_t* p, std::size_t n);

} // namespace crc32_detail

} // namespace jet
