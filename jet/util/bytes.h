// Little-endian field access over raw page bytes. Callers check bounds first.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>

#include "jet/value.h"

namespace jet {

inline std::uint16_t le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
inline std::uint32_t le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
inline std::uint64_t le64(const std::uint8_t* p) {
    return static_cast<std::uint64_t>(le32(p)) | static_cast<std::uint64_t>(le32(p + 4)) << 32;
}
inline double leDouble(const std::uint8_t* p) {
    std::uint64_t bits = le64(p);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}
inline float leFloat(const std::uint8_t* p) {
    std::uint32_t bits = le32(p);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// Writes the low `bytes` bytes of `v`, least significant first.
inline void putLe(std::uint8_t* p, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void putLe16(std::uint8_t* p, std::uint32_t v) { putLe(p, v, 2); }
inline void putLe32(std::uint8_t* p, std::uint32_t v) { putLe(p, v, 4); }
// Appends the low `bytes` bytes of `v`, least significant first.
inline void appendLe(Bytes* out, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out->push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// Index keys and row pointers in index entries are big-endian.
inline std::uint64_t beValue(ByteSpan bytes) {
    std::uint64_t v = 0;
    for (std::uint8_t b : bytes) v = v << 8 | b;
    return v;
}
inline void appendBe(Bytes* out, std::uint64_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out->push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// True when [offset, offset + size) lies inside `bytes`.
inline bool fits(ByteSpan bytes, std::size_t offset, std::size_t size) {
    return offset <= bytes.size() && size <= bytes.size() - offset;
}

} // namespace jet
