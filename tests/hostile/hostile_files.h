// Damaged and foreign database files made from the fixtures, for the tests
// of hostile input.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jet/value.h"
#include "tests/support/files.h"

namespace hostile {

using jet::Bytes;

using test_files::readAll;
using test_files::writeAll;

inline Bytes fixture(const std::string& name) { return readAll(test_files::testData(name)); }

inline Bytes prefix(Bytes bytes, std::size_t n) {
    bytes.resize(n);
    return bytes;
}

// The empty database's header page under another version byte and name.
inline Bytes withHeader(std::uint8_t version, const char* engineName, std::size_t size) {
    Bytes bytes = prefix(fixture("blank.mdb"), size);
    for (std::size_t i = 0; engineName[i]; ++i) bytes[4 + i] = static_cast<std::uint8_t>(engineName[i]);
    bytes[0x14] = version;
    return bytes;
}

// A Jet 3 file: 2 KiB pages, so its size need not be whole 4 KiB pages.
inline Bytes jet3(std::size_t pages2k) { return withHeader(0x00, "Standard Jet DB", pages2k * 2048); }
inline Bytes ace() { return withHeader(0x02, "Standard ACE DB", 16 * 4096); }

inline Bytes text() {
    std::string s = "Toto je obyčajný text, nie databáza.\r\n";
    std::string many;
    while (many.size() < 9000) many += s;
    return Bytes(many.begin(), many.end());
}

} // namespace hostile
