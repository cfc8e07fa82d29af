// Checks a value against its column and encodes it as the row stores it.
#pragma once

#include <cstdint>
#include <string_view>

#include "jet/status.h"
#include "jet/format/tabledef.h"
#include "jet/value.h"

namespace jet {

// True for the types normalizeValue() and encodeValue() know: every type
// of Jet 4 but the complex and big-integer columns of later versions.
bool encodable(ColumnType type);

// Brings `v` to the column's own kind of value (an integer for a DOUBLE
// column becomes a double, a whole double for a LONG column an integer, ...)
// and checks its range and length. A value the column cannot hold is
// Refused with the reason, and `v` is left as it was.
Status normalizeValue(const ColumnDef& c, Value* v);

// Writes the stored bytes of a normalized non-null value of a fixed-size
// type at `at`: fixedSize(c.type) of them.
void encodeFixed(const ColumnDef& c, const Value& v, std::uint8_t* at);

// Appends the stored bytes of a normalized non-null value: fixed-size types
// as encodeFixed() writes them, TEXT and MEMO the text form, BINARY and OLE
// the bytes. Not for BOOLEAN (the null mask holds it).
void encodeValue(const ColumnDef& c, const Value& v, Bytes* out);

// Appends text as stored: one byte per character behind FF FE when
// `compress` is allowed and every character is in U+0001..U+00FF (and the
// text is long enough to gain from it), UCS-2 otherwise.
void encodeText(std::u16string_view text, bool compress, Bytes* out);

} // namespace jet
