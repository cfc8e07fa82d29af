#include "jet/format/header.h"

#include <array>
#include <cmath>
#include <cstring>

#include "jet/text.h"

namespace jet {
namespace {

constexpr std::size_t kMaskStart = 0x18;
constexpr std::size_t kMaskLength = 128;
constexpr std::size_t kHeaderEnd = 0xA0;

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
    if (b.size() < 0x15 || b[0] != 0x00 || b[1] != 0x01) return notJet;
    bool jet = std::memcmp(&b[4], kJet, sizeof kJet) == 0;
    if (!jet && std::memcmp(&b[4], kAce, sizeof kAce) == 0)
        return unsupported("Súbor je databáza ACE (formát .accdb), ktorú tento program nepodporuje.");
    if (!jet) return notJet;
    if (b[0x14] == 0x00)
        return unsupported("Súbor je databáza Jet 3 (Access 97), ktorú tento program nepodporuje.");
    if (b[0x14] != 0x01)
        return unsupported("Súbor je databáza Jet neznámej verzie, ktorú tento program nepodporuje.");
    if (b.size() < kHeaderEnd) return notJet;

    std::array<std::uint8_t, kHeaderEnd> h;
    std::memcpy(h.data(), b.data(), kHeaderEnd);
    static const std::array<std::uint8_t, kMaskLength> mask = maskStream();
    for (std::size_t i = 0; i < kMaskLength; ++i) h[kMaskStart + i] ^= mask[i];

    Header r;
    r.codePage = le16(&h[0x3C]);
    r.encryptionKey = le32(&h[0x3E]);
    r.sortOrder = le16(&h[0x6E]);
    r.sortVersion = h[0x71];
    r.created = leDouble(&h[0x72]);
    if (r.encryptionKey != 0)
        return unsupported("Databáza je šifrovaná, tento program ju nepodporuje.");

    // The password is masked once more with the creation date's day number.
    std::uint8_t pattern[4] = {};
    if (std::isfinite(r.created) && std::fabs(r.created) < 2147483647.0) {
        putLe32(pattern, static_cast<std::uint32_t>(static_cast<std::int32_t>(r.created)));
    }
    for (std::size_t i = 0; i < 40; i += 2) {
        char16_t c = static_cast<char16_t>((h[0x42 + i] ^ pattern[i % 4]) | (h[0x43 + i] ^ pattern[(i + 1) % 4]) << 8);
        if (c == 0) break;
        r.password.push_back(c);
    }
    if (!r.password.empty())
        return Status::error(Status::Code::AccessDenied, "Databáza je chránená heslom.");
    *out = std::move(r);
    return Status::OK();
}

} // namespace jet
