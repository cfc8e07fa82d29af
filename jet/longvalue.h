// Memo and OLE values: the 12-byte reference in the row and the value it
// points to, inline, on one LVAL row or along a chain of LVAL rows.
#pragma once

#include <cstdint>

#include "jet/bytes.h"
#include "jet/pager.h"
#include "jet/status.h"
#include "jet/value.h"

namespace jet {

constexpr std::size_t kLongValueHeader = 12;

// Reads the value whose reference (with any inline data) is `field`.
// `rowPage` names the row's page in messages.
Status readLongValue(Pager& pager, ByteSpan field, std::uint32_t rowPage, Bytes* out);

} // namespace jet
