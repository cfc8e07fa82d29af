// Layout of page 0, the file header: a signature, the format version and
// a region masked with a fixed keystream that holds the database's
// settings (offsets below are of the whole page).
#pragma once

#include <cstddef>
#include <cstdint>

namespace jet::file_header {

constexpr std::uint8_t kPageType = 0x00; // byte 0; byte 1 is kPageMarker as on other pages
constexpr std::size_t kEngineName = 4;   // "Standard Jet DB" and its terminating zero
constexpr std::size_t kVersion = 0x14;   // u8: kJet3 or kJet4
constexpr std::uint8_t kJet3 = 0x00;
constexpr std::uint8_t kJet4 = 0x01;

constexpr std::size_t kMaskStart = 0x18;
constexpr std::size_t kMaskLength = 128;
constexpr std::size_t kCodePage = 0x3C;      // u16
constexpr std::size_t kEncryptionKey = 0x3E; // u32, 0 = not encrypted
constexpr std::size_t kPassword = 0x42;      // UCS-2, also masked with the creation date
constexpr std::size_t kPasswordBytes = 40;
constexpr std::size_t kSortOrder = 0x6E;   // u16: collation LCID
constexpr std::size_t kSortVersion = 0x71; // u8
constexpr std::size_t kCreated = 0x72;     // double: Jet date
constexpr std::size_t kEnd = 0xA0;         // the bytes read

} // namespace jet::file_header
