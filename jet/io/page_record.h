// The files kept beside a database while it is written, the write-ahead log
// and the earlier releases' rollback journal, share one layout (little-endian):
//   header  magic (8 bytes), page size u32, original page count u32, salt u32,
//           CRC-32 of the preceding 20 bytes u32
//   records page number u32, CRC-32 of (salt, page number, content) u32,
//           content
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "jet/io/pager.h"
#include "jet/util/bytes.h"
#include "jet/util/crc32.h"

namespace jet::page_record {

constexpr std::size_t kHeaderSize = 24; // of the file, before the first record
constexpr std::size_t kHead = 8;
constexpr std::size_t kSize = kHead + kPageSize;

using Magic = char[8];

struct Header {
    std::uint32_t originalPages = 0;
    std::uint32_t salt = 0;
};

inline void encodeHeader(const Magic& magic, const Header& h, std::uint8_t* out) {
    std::memcpy(out, magic, sizeof magic);
    putLe32(out + 8, kPageSize);
    putLe32(out + 12, h.originalPages);
    putLe32(out + 16, h.salt);
    putLe32(out + 20, crc32(0, out, 20));
}

// False when the header is not one of this kind of file or does not check out.
inline bool decodeHeader(const Magic& magic, const std::uint8_t* in, Header* h) {
    if (std::memcmp(in, magic, sizeof magic) != 0) return false;
    if (le32(in + 20) != crc32(0, in, 20) || le32(in + 8) != kPageSize) return false;
    h->originalPages = le32(in + 12);
    h->salt = le32(in + 16);
    return h->originalPages <= kMaxPages;
}

inline std::uint32_t crc(std::uint32_t salt, const std::uint8_t* record) {
    const std::uint32_t head = crc32(crcOfWord(0, salt), record, 4);
    return crc32(head, record + kHead, kPageSize);
}

} // namespace jet::page_record
