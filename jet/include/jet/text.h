// Text as Jet stores it (UCS-2, optionally with the compressed form) and the
// conversions and letter-case rules the engine needs for names.
#pragma once

#include <string>
#include <string_view>

#include "jet/value.h"

namespace jet {

// Decodes a TEXT or MEMO value: compressed when it starts with FF FE,
// plain UCS-2 otherwise. A stray odd byte at the end is ignored.
void decodeText(ByteSpan bytes, std::u16string* out);
// Plain UCS-2 (names in definitions and property blobs); the first form
// reuses the buffer of `out`.
void decodeUcs2(ByteSpan bytes, std::u16string* out);
std::u16string decodeUcs2(ByteSpan bytes);

std::string toUtf8(std::u16string_view text);
void appendUtf8(std::string* out, char32_t c);
// Invalid UTF-8 sequences become U+FFFD.
std::u16string fromUtf8(std::string_view text);

// Letter case as Jet compares names: ASCII, Latin-1, Latin Extended-A
// (Slovak and Czech letters), Greek and Cyrillic.
char16_t foldCase(char16_t c);
// <0, 0, >0 comparing folded code units.
int compareIgnoreCase(std::u16string_view a, std::u16string_view b);
inline bool equalsIgnoreCase(std::u16string_view a, std::u16string_view b) { return compareIgnoreCase(a, b) == 0; }
bool equalsIgnoreCase(std::string_view utf8a, std::string_view utf8b);

} // namespace jet
