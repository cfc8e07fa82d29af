// The 4-byte pointer Jet uses for rows, usage maps and long-value chunks:
// (page << 8) | row, stored little-endian.
#pragma once

#include <compare>
#include <cstdint>

namespace jet {

struct RowPointer {
    std::uint32_t page = 0;
    std::uint8_t row = 0;

    static RowPointer decode(std::uint32_t v) { return {v >> 8, static_cast<std::uint8_t>(v & 0xFF)}; }
    std::uint32_t encode() const { return (page << 8) | row; }
    bool isNull() const { return page == 0 && row == 0; }
    auto operator<=>(const RowPointer&) const = default;
};

// A row of a table: its data page and slot.
using RowId = RowPointer;

} // namespace jet
