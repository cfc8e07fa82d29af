#include "jet/table/row_writer.h"

#include <algorithm>
#include <cstring>

#include "jet/util/bytes.h"

namespace jet {

RowLayout::RowLayout(const TableDef& def) : def_(&def), varColumn_(def.varColumns, -1) {
    for (std::size_t i = 0; i < def.columns.size(); ++i) {
        const ColumnDef& c = def.columns[i];
        if (c.type == ColumnType::Bool) continue;
        if (c.isFixed()) {
            fixed_.push_back({i, c.fixedOffset, c.length});
            fixedArea_ = std::max<std::size_t>(fixedArea_, c.fixedOffset + c.length);
        } else if (c.varSlot < varColumn_.size()) {
            varColumn_[c.varSlot] = static_cast<int>(i);
        }
    }
    maskBytes_ = (def.maxColumns + 7) / 8;
    const std::size_t slots = def.varColumns;
    frame_ = 2 + fixedArea_ + (slots ? 2 + 2 * slots + 2 : 0) + maskBytes_;
}

void RowLayout::build(std::span<const Value> values, std::span<const Bytes> fields, Bytes* out) const {
    out->clear();
    appendLe(out, def_->maxColumns, 2);
    out->resize(2 + fixedArea_, 0);
    for (const Fixed& f : fixed_) {
        if (isNull(values[f.column])) continue;
        const Bytes& b = fields[f.column];
        std::memcpy(out->data() + 2 + f.offset, b.data(), std::min(b.size(), f.size));
    }
    const std::size_t slots = varColumn_.size();
    if (slots) {
        std::vector<std::size_t>& start = starts_;
        start.resize(slots);
        for (std::size_t s = 0; s < slots; ++s) {
            start[s] = out->size();
            const int col = varColumn_[s];
            if (col < 0 || isNull(values[col])) continue;
            out->insert(out->end(), fields[col].begin(), fields[col].end());
        }
        appendLe(out, out->size(), 2);
        for (std::size_t s = slots; s-- > 0;) appendLe(out, start[s], 2);
        appendLe(out, slots, 2);
    }
    const std::size_t mask = out->size();
    out->resize(mask + maskBytes_, 0);
    for (std::size_t i = 0; i < def_->columns.size(); ++i) {
        const ColumnDef& c = def_->columns[i];
        const bool on = c.type == ColumnType::Bool ? std::get_if<bool>(&values[i]) && std::get<bool>(values[i])
                                                   : !isNull(values[i]);
        if (on && c.number < def_->maxColumns)
            (*out)[mask + c.number / 8] |= static_cast<std::uint8_t>(1u << (c.number % 8));
    }
}

} // namespace jet
