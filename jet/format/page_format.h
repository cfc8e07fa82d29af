// What every page but the file header starts with: a byte naming its kind
// and a marker byte. Each kind's own layout is in its *_format.h.
#pragma once

#include <cstddef>
#include <cstdint>

namespace jet {

constexpr std::size_t kPageTypeAt = 0;   // u8: one of the kinds below
constexpr std::size_t kPageMarkerAt = 1; // u8: kPageMarker
constexpr std::uint8_t kPageMarker = 0x01;

constexpr std::uint8_t kDataPageType = 0x01;     // data_page_format.h
constexpr std::uint8_t kTableDefPageType = 0x02; // tabledef_format.h
constexpr std::uint8_t kIndexNodePage = 0x03;    // index_page_format.h: an intermediate page
constexpr std::uint8_t kIndexLeafPage = 0x04;    // index_page_format.h
constexpr std::uint8_t kBitmapPageType = 0x05;   // usage_map_format.h

} // namespace jet
