// Column types of Jet 4 and the value of one column of one row.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace jet {

// Type codes as stored in a column descriptor.
enum class ColumnType : std::uint8_t {
    Bool = 0x01,
    Byte = 0x02,
    Int = 0x03,      // 16-bit
    Long = 0x04,     // 32-bit
    Currency = 0x05, // 64-bit, scaled by 10 000
    Single = 0x06,
    Double = 0x07,
    DateTime = 0x08, // days since 1899-12-30 as a double
    Binary = 0x09,
    Text = 0x0A,
    Ole = 0x0B,
    Memo = 0x0C,
    Guid = 0x0F,
    Numeric = 0x10, // fixed-point decimal
    Complex = 0x12,
    BigInt = 0x13,
};

struct Currency {
    std::int64_t scaled = 0;
    bool operator==(const Currency&) const = default;
};
struct DateTime {
    double days = 0;
    bool operator==(const DateTime&) const = default;
};
struct Guid {
    std::array<std::uint8_t, 16> bytes{};
    bool operator==(const Guid&) const = default;
};
struct Numeric {
    std::uint8_t precision = 0, scale = 0;
    bool negative = false;
    std::array<std::uint8_t, 16> magnitude{}; // little-endian unsigned integer
    bool operator==(const Numeric&) const = default;
};
using Bytes = std::vector<std::uint8_t>;
using ByteSpan = std::span<const std::uint8_t>;

// One value: Null, or the C++ form of its column type. Byte, Int, Long and
// BigInt all read as int64; Text and Memo as UTF-16 code units; Binary and
// Ole as bytes.
using Value = std::variant<std::monostate, bool, std::int64_t, Currency, float, double, DateTime, std::u16string, Bytes,
                           Guid, Numeric>;

inline bool isNull(const Value& v) { return std::holds_alternative<std::monostate>(v); }

} // namespace jet
