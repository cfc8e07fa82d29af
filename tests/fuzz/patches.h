// Damage described compactly: a fixture database and a list of byte patches
// laid over its pages. The fuzzer mutates the small description instead of
// a whole file, so every change lands inside a page and the size stays right.
//
// Byte 0 chooses the base (even: blank.mdb, odd: sample.mdb); then records of
//   page (2 bytes, little-endian, modulo the page count)
//   offset in the page (2 bytes, little-endian, modulo the page size)
//   count (1 byte) and that many bytes (fewer when the input ends),
// clipped at the end of the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzz {

// `dataDir` holds the fixture databases.
std::vector<std::uint8_t> applyPatches(const std::string& dataDir, const std::uint8_t* data, std::size_t size);

} // namespace fuzz
