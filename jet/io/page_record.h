// The page record that both the write-ahead log and the earlier releases'
// rollback journal are made of, after a 24-byte header:
//   page number u32, CRC-32 of (salt, page number, content) u32, content
#pragma once

#include <cstddef>
#include <cstdint>

#include "jet/io/pager.h"
#include "jet/util/crc32.h"

namespace jet::page_record {

constexpr std::size_t kHeaderSize = 24; // of the file, before the first record
constexpr std::size_t kHead = 8;
constexpr std::size_t kSize = kHead + kPageSize;
constexpr std::uint64_t kMaxPages = (std::uint64_t{1} << 31) / kPageSize;

inline std::uint32_t crc(std::uint32_t salt, const std::uint8_t* record) {
    const std::uint32_t head = crc32(crcOfWord(0, salt), record, 4);
    return crc32(head, record + kHead, kPageSize);
}

} // namespace jet::page_record
