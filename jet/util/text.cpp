#include "jet/text.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "jet/util/bytes.h"

namespace jet {

void decodeText(ByteSpan b, std::u16string* out) {
    if (b.size() >= 2 && b[0] == 0xFF && b[1] == 0xFE) {
        // Every character takes at least one byte: the text is no longer.
        out->resize(b.size() - 2);
        char16_t* p = out->data();
        const std::uint8_t* at = b.data() + 2;
        const std::uint8_t* const end = b.data() + b.size();
        // Runs of one byte per character and of two alternate, each ended
        // by a 0 byte.
        bool compressed = true;
        while (at < end) {
            if (compressed) {
                const auto* stop =
                    static_cast<const std::uint8_t*>(std::memchr(at, 0, static_cast<std::size_t>(end - at)));
                if (!stop) stop = end;
                p = std::copy(at, stop, p);
                at = stop;
            } else {
                for (; end - at >= 2 && *at != 0; at += 2) *p++ = static_cast<char16_t>(le16(at));
                if (at < end && *at != 0) break; // a stray odd byte at the end
            }
            if (at < end) {
                compressed = !compressed;
                ++at;
            }
        }
        out->resize(static_cast<std::size_t>(p - out->data()));
        return;
    }
    decodeUcs2(b, out);
}

void decodeUcs2(ByteSpan b, std::u16string* out) {
    out->resize(b.size() / 2);
    if constexpr (std::endian::native == std::endian::little) {
        if (!out->empty()) std::memcpy(out->data(), b.data(), 2 * out->size());
    } else {
        for (std::size_t i = 0; i < out->size(); ++i) (*out)[i] = static_cast<char16_t>(le16(&b[2 * i]));
    }
}

std::u16string decodeUcs2(ByteSpan b) {
    std::u16string s;
    decodeUcs2(b, &s);
    return s;
}

void appendUtf8(std::string* out, char32_t c) {
    if (c < 0x80) {
        out->push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out->push_back(static_cast<char>(0xC0 | c >> 6));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | c >> 12));
        out->push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | c >> 18));
        out->push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::string toUtf8(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD; // a lone surrogate has no UTF-8 form
        }
        appendUtf8(&out, c);
    }
    return out;
}

std::u16string fromUtf8(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        unsigned char b = static_cast<unsigned char>(s[i]);
        int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
        char32_t c = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
        bool ok = extra >= 0 && i + extra < s.size();
        for (int k = 1; ok && k <= extra; ++k) {
            unsigned char cb = static_cast<unsigned char>(s[i + k]);
            if ((cb & 0xC0) != 0x80) ok = false;
            else c = c << 6 | (cb & 0x3F);
        }
        if (!ok) {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        i += extra + 1;
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

char16_t foldCase(char16_t c) {
    if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 0x20) : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 0x20);
    if (c == 0x178) return 0xFF;
    if (c >= 0x100 && c <= 0x17F) {
        // Latin Extended-A pairs capital and small letters; the runs differ
        // in which of the two is even.
        bool capitalIsOdd = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        bool capitalIsEven = (c <= 0x137 && c != 0x130 && c != 0x131) || (c >= 0x14A && c <= 0x177);
        if (capitalIsOdd && c % 2 == 1) return static_cast<char16_t>(c + 1);
        if (capitalIsEven && c % 2 == 0) return static_cast<char16_t>(c + 1);
        return c;
    }
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return static_cast<char16_t>(c + 0x20); // Greek
    if (c >= 0x410 && c <= 0x42F) return static_cast<char16_t>(c + 0x20);               // Cyrillic
    if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 0x50);
    return c;
}

int compareIgnoreCase(std::u16string_view a, std::u16string_view b) {
    std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        char16_t x = foldCase(a[i]), y = foldCase(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    return compareIgnoreCase(fromUtf8(a), fromUtf8(b)) == 0;
}

} // namespace jet
