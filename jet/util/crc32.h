// CRC-32 (the reflected 0xEDB88320 polynomial) of the checksums in the files
// kept beside a database while it is written.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "jet/util/bytes.h"

namespace jet {

// Continues `crc` (0 to start) over n bytes at p.
inline std::uint32_t crc32(std::uint32_t crc, const std::uint8_t* p, std::size_t n) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    crc = ~crc;
    while (n--) crc = table[(crc ^ *p++) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

// Continues `crc` over a word as stored: four bytes, little-endian.
inline std::uint32_t crcOfWord(std::uint32_t crc, std::uint32_t word) {
    std::uint8_t bytes[4];
    putLe32(bytes, word);
    return crc32(crc, bytes, 4);
}

} // namespace jet
