// CRC-32 (the reflected 0xEDB88320 polynomial) of the checksums in the files
// kept beside a database while it is written. Every page a merge adds is
// summed once, so eight bytes are folded in per step.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "jet/util/bytes.h"

namespace jet {

namespace crc32_detail {

// tables[0] is the classic byte table; tables[k][b] is the CRC of byte b
// followed by k zero bytes.
inline const std::array<std::array<std::uint32_t, 256>, 8>& tables() {
    static const auto t = [] {
        std::array<std::array<std::uint32_t, 256>, 8> out{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            out[0][i] = c;
        }
        for (std::uint32_t i = 0; i < 256; ++i)
            for (std::size_t k = 1; k < 8; ++k) out[k][i] = out[0][out[k - 1][i] & 0xFF] ^ (out[k - 1][i] >> 8);
        return out;
    }();
    return t;
}

} // namespace crc32_detail

// Continues `crc` (0 to start) over n bytes at p.
inline std::uint32_t crc32(std::uint32_t crc, const std::uint8_t* p, std::size_t n) {
    const auto& t = crc32_detail::tables();
    crc = ~crc;
    for (; n >= 8; n -= 8, p += 8) {
        const std::uint32_t low = le32(p) ^ crc, high = le32(p + 4);
        crc = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^ t[4][low >> 24] ^
              t[3][high & 0xFF] ^ t[2][(high >> 8) & 0xFF] ^ t[1][(high >> 16) & 0xFF] ^ t[0][high >> 24];
    }
    while (n--) crc = t[0][(crc ^ *p++) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

// Continues `crc` over a word as stored: four bytes, little-endian.
inline std::uint32_t crcOfWord(std::uint32_t crc, std::uint32_t word) {
    std::uint8_t bytes[4];
    putLe32(bytes, word);
    return crc32(crc, bytes, 4);
}

} // namespace jet
