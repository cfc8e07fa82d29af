// Stores memo and OLE values out of the row: on one LVAL row when they fit
// a page, along a chain of LVAL rows otherwise. The page being filled is
// kept in memory until it is full or flush() writes it.
#pragma once

#include <cstdint>

#include "jet/util/bytes.h"
#include "jet/format/data_page_writer.h"
#include "jet/io/pager.h"
#include "jet/status.h"
#include "jet/format/tabledef.h"
#include "jet/value.h"

namespace jet {

constexpr std::size_t kMaxInlineLongValue = 64;
constexpr std::size_t kMaxSingleRowLongValue = 4076;
constexpr std::size_t kChainChunk = 4072;

// The reference of a value stored in the row itself, followed by the value.
void inlineLongValue(ByteSpan data, Bytes* out);

class LongValueWriter {
public:
    // `maps` is the column's pair of page maps, or nullptr when it has none.
    LongValueWriter(Pager& pager, const LongValueMaps* maps);

    // Stores `data` and sets *reference to the 12-byte reference for the row.
    Status store(ByteSpan data, Bytes* reference);
    Status flush();

private:
    Status start();
    Status addRow(ByteSpan body, RowPointer* where);
    Status newPage(const Page& content, std::uint32_t* pgno);

    Pager* pager_;
    bool hasMaps_ = false;
    LongValueMaps maps_;
    bool started_ = false;
    FillingPage page_; // the page being filled
    Bytes chunk_;
};

} // namespace jet
