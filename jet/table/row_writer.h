// Lays out a new row of a table: column count, fixed area, variable data
// with its offset table, and the null mask (which also holds the yes/no
// values), sized by the definition's column and slot counts so that
// deleted columns keep their places.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "jet/format/tabledef.h"
#include "jet/value.h"

namespace jet {

constexpr std::size_t kMaxRowLength = 4060;

class RowLayout {
public:
    explicit RowLayout(const TableDef& def);

    // Bytes of a row whose variable values take `variableBytes` in all.
    std::size_t rowLength(std::size_t variableBytes) const { return frame_ + variableBytes; }
    // Bytes of the fixed area: each fixed column's value at its offset.
    std::size_t fixedArea() const { return fixedArea_; }

    // Lays out the row. `fixed` is the fixed area as the row stores it
    // (zeros where a value is null). `values` and `fields` follow the
    // definition's column order; fields[i] holds the stored bytes of a
    // non-null variable value (for memo and OLE the reference with any
    // inline data); yes/no values and nulls take no bytes.
    void build(std::span<const Value> values, ByteSpan fixed, std::span<const Bytes> fields, Bytes* out) const;

private:
    // A column's bit in the null mask: set for a value, or for a yes.
    struct MaskBit {
        std::size_t column;
        std::uint16_t byte; // of the mask
        std::uint8_t bit;   // in that byte
        bool yesNo;
    };
    const TableDef* def_;
    std::size_t fixedArea_ = 0;
    std::size_t maskBytes_ = 0;
    std::size_t frame_ = 0;         // every byte but the variable data
    std::vector<MaskBit> maskBits_; // the columns the mask has room for
    std::vector<int> varColumn_;    // per variable slot: column index or -1
};

} // namespace jet
