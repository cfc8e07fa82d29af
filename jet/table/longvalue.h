// Memo and OLE values: the 12-byte reference in the row and the value it
// points to, inline, on one LVAL row or along a chain of LVAL rows.
#pragma once

#include <vector>

#include <cstdint>

#include "jet/util/bytes.h"
#include "jet/io/pager.h"
#include "jet/status.h"
#include "jet/value.h"

namespace jet {

// The reference: a 4-byte head (length and where the data lies), the LVAL
// row of the data or of the chain's first link, and 4 unused bytes.
constexpr std::size_t kLongValueHeader = 12;
constexpr std::uint32_t kLongValueLengthMask = 0x3FFFFFFF;
constexpr std::uint32_t kLongValueKindMask = 0xC0000000;
constexpr std::uint32_t kLongValueInline = 0x80000000; // the data follows the reference
constexpr std::uint32_t kLongValueSingle = 0x40000000; // the data is one LVAL row
constexpr std::size_t kLongValueRow = 4;               // row pointer: the LVAL row
// A link of a chain: the row pointer of the next link (0 after the last),
// then the link's share of the data.
constexpr std::size_t kChainLinkHeader = 4;

// Reads the value whose reference (with any inline data) is `field`.
// `rowPage` names the row's page in messages. With `pages`, the LVAL pages
// the value lies on are added to it.
Status readLongValue(Pager& pager, ByteSpan field, std::uint32_t rowPage, Bytes* out,
                     std::vector<std::uint32_t>* pages = nullptr);

} // namespace jet
