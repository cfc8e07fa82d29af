#include "jet/table/row_writer.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "jet/util/bytes.h"

namespace jet {

RowLayout::RowLayout(const TableDef& def) : def_(&def), varColumn_(def.varColumns, -1) {
    for (std::size_t i = 0; i < def.columns.size(); ++i) {
        const ColumnDef& c = def.columns[i];
        if (c.number < def.maxColumns)
            maskBits_.push_back({i, static_cast<std::uint16_t>(c.number / 8),
                                 static_cast<std::uint8_t>(1u << (c.number % 8)), c.type == ColumnType::Bool});
        if (c.type == ColumnType::Bool) continue;
        if (c.isFixed()) {
            fixedArea_ = std::max<std::size_t>(fixedArea_, c.fixedOffset + c.length);
        } else if (c.varSlot < varColumn_.size()) {
            varColumn_[c.varSlot] = static_cast<int>(i);
        }
    }
    maskBytes_ = (def.maxColumns + 7) / 8;
    const std::size_t slots = def.varColumns;
    frame_ = 2 + fixedArea_ + (slots ? 2 + 2 * slots + 2 : 0) + maskBytes_;
}

// The row is sized first and written in place: its fixed area, the
// variable data in slot order, the offset table (end of data, then each
// slot's start from the last slot down, then the slot count) and the mask.
// REQUIRES: fixed.size() == fixedArea()
void RowLayout::build(std::span<const Value> values, ByteSpan fixed, std::span<const Bytes> fields, Bytes* out) const {
    assert(fixed.size() == fixedArea_);
    std::size_t variable = 0;
    for (int col : varColumn_)
        if (col >= 0 && !isNull(values[col])) variable += fields[col].size();
    out->resize(rowLength(variable)); // every byte is written below
    std::uint8_t* row = out->data();
    putLe16(row, def_->maxColumns);
    std::copy(fixed.begin(), fixed.end(), row + 2);
    std::size_t at = 2 + fixedArea_;
    if (const std::size_t slots = varColumn_.size()) {
        std::uint8_t* table = row + at + variable + 2 * slots; // slot 0's start
        for (int col : varColumn_) {
            putLe16(table, static_cast<std::uint16_t>(at));
            table -= 2;
            if (col < 0 || isNull(values[col])) continue;
            std::memcpy(row + at, fields[col].data(), fields[col].size());
            at += fields[col].size();
        }
        putLe16(table, static_cast<std::uint16_t>(at));
        at += 2 * slots + 2;
        putLe16(row + at, static_cast<std::uint16_t>(slots));
        at += 2;
    }
    std::fill_n(row + at, maskBytes_, 0);
    for (const MaskBit& m : maskBits_) {
        const Value& v = values[m.column];
        const bool on = m.yesNo ? std::get_if<bool>(&v) && std::get<bool>(v) : !isNull(v);
        if (on) row[at + m.byte] |= m.bit;
    }
}

} // namespace jet
