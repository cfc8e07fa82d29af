#include "jet/format/header.h"

#include <array>
#include <cmath>
#include <cstring>

#include "jet/format/header_format.h"
#include "jet/format/page_format.h"
#include "jet/text.h"

namespace jet {

using namespace file_header;

namespace {

// The masked region is XOR-ed with the first bytes of an RC4 keystream
// under a fixed key.
std::array<std::uint8_t, kMaskLength> maskStream() {
    const std::uint8_t key[4] = {0xC7, 0xDA, 0x39, 0x6B};
    std::array<std::uint8_t, 256> s;
    for (int i = 0; i < 256; ++i) s[i] = static_cast<std::uint8_t>(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + key[i % 4]) & 0xFF;
        std::swap(s[i], s[j]);
    }
    std::array<std::uint8_t, kMaskLength> out;
    for (std::size_t n = 0, i = 0, j = 0; n < kMaskLength; ++n) {
        i = (i + 1) & 0xFF;
        j = (j + s[i]) & 0xFF;
        std::swap(s[i], s[j]);
        out[n] = s[(s[i] + s[j]) & 0xFF];
    }
    return out;
}

Status unsupported(const char* what) { return Status::error(Status::Code::Unsupported, what); }

} // namespace

Status parseHeader(ByteSpan b, Header* out) {
    static const char kJet[] = "Standard Jet DB";
    static const char kAce[] = "Standard ACE DB";
    const Status notJet = Status::error(Status::Code::NotJet, "Súbor nie je databáza Jet.");
    if (b.size() <= kVersion || b[kPageTypeAt] != kPageType || b[kPageMarkerAt] != kPageMarker) return notJet;
    bool jet = std::memcmp(&b[kEngineName], kJet, sizeof kJet) == 0;
    if (!jet && std::memcmp(&b[kEngineName], kAce, sizeof kAce) == 0)
        return unsupported("Súbor je databáza ACE (formát .accdb), ktorú tento program nepodporuje.");
    if (!jet) return notJet;
    if (b[kVersion] == kJet3)
        return unsupported("Súbor je databáza Jet 3 (Access 97), ktorú tento program nepodporuje.");
    if (b[kVersion] != kJet4)
        return unsupported("Súbor je databáza Jet neznámej verzie, ktorú tento program nepodporuje.");
    if (b.size() < kEnd) return notJet;

    std::array<std::uint8_t, kEnd> h;
    std::memcpy(h.data(), b.data(), kEnd);
    static const std::array<std::uint8_t, kMaskLength> mask = maskStream();
    for (std::size_t i = 0; i < kMaskLength; ++i) h[kMaskStart + i] ^= mask[i];

    Header r;
    r.codePage = le16(&h[kCodePage]);
    r.encryptionKey = le32(&h[kEncryptionKey]);
    r.sortOrder = le16(&h[kSortOrder]);
    r.sortVersion = h[kSortVersion];
    r.created = leDouble(&h[kCreated]);
    if (r.encryptionKey != 0) return unsupported("Databáza je šifrovaná, tento program ju nepodporuje.");

    // The password is masked once more with the creation date's day number.
    std::uint8_t pattern[4] = {};
    if (std::isfinite(r.created) && std::fabs(r.created) < 2147483647.0) {
        putLe32(pattern, static_cast<std::uint32_t>(static_cast<std::int32_t>(r.created)));
    }
    for (std::size_t i = 0; i < kPasswordBytes; i += 2) {
        char16_t c = static_cast<char16_t>((h[kPassword + i] ^ pattern[i % 4]) |
                                           (h[kPassword + i + 1] ^ pattern[(i + 1) % 4]) << 8);
        if (c == 0) break;
        r.password.push_back(c);
    }
    if (!r.password.empty()) return Status::error(Status::Code::AccessDenied, "Databáza je chránená heslom.");
    *out = std::move(r);
    return Status::OK();
}

} // namespace jet
