// Index keys of TEXT and MEMO columns in the General sort order of Access
// 2000-2003 (collation 0x0409, version 0).
//
// The key is a case-insensitive sort key: primary letter weights, then
// accent weights, then punctuation weights with their positions. The
// encoder knows ASCII, Latin-1, Latin Extended-A and the few typographic
// characters common in Slovak and Czech text; any other character makes it
// refuse, because a wrong key would silently break the index order.
#pragma once

#include <cstdint>
#include <string_view>

#include "jet/status.h"
#include "jet/value.h"

namespace jet {

constexpr std::uint16_t kGeneralSortOrder = 0x0409;

// True for the sort order this encoder implements.
bool isGeneralSortOrder(std::uint16_t lcid, std::uint8_t version);

// True when the encoder has a weight for the code unit.
bool generalSortKnows(char16_t ch);

// Appends the key of `text` (without the field's leading flag byte) to `out`.
// Only the first 255 code units count and trailing blanks are ignored.
// A character the encoder does not know leaves `out` untouched and returns
// Unsupported.
Status appendGeneralTextKey(std::u16string_view text, bool ascending, Bytes* out);

} // namespace jet
