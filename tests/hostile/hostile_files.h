// Damaged and foreign database files made from the fixtures.
#pragma once

#include <cstring>

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
    std::copy(engineName, engineName + std::strlen(engineName), bytes.begin() + 4);
    bytes[0x14] = version;
    return bytes;
}

// A Jet 3 file: 2 KiB pages, so its size need not be whole 4 KiB pages.
inline Bytes jet3(std::size_t pages2k) { return withHeader(0x00, "Standard Jet DB", pages2k * 2048); }
inline Bytes ace() { return withHeader(0x02, "Standard ACE DB", 16 * 4096); }

inline Bytes text() {
    std::string many;
    while (many.size() < 9000) many += "Toto je obyčajný text, nie databáza.\r\n";
    return Bytes(many.begin(), many.end());
}

} // namespace hostile
