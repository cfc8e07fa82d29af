// Page 0: the file signature, the format version and the masked region with
// the code page, sort order, encryption key, password and creation date.
#pragma once

#include <cstdint>
#include <string>

#include "jet/util/bytes.h"
#include "jet/status.h"

namespace jet {

struct Header {
    std::uint16_t codePage = 0;
    std::uint16_t sortOrder = 0; // collation LCID, 0x0409 = General
    std::uint8_t sortVersion = 0;
    std::uint32_t encryptionKey = 0;
    double created = 0;      // Jet date
    std::u16string password; // empty when none
};

// Recognises a Jet 4 header in the first bytes of a file. Jet 3 and ACE
// files are Unsupported, anything else NotJet; an encrypted or
// password-protected database is Unsupported too.
Status parseHeader(ByteSpan bytes, Header* out);

} // namespace jet
