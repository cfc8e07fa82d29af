// One stored row of a table and the decoding of its columns.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jet/util/bytes.h"
#include "jet/io/pager.h"
#include "jet/format/row_pointer.h"
#include "jet/status.h"
#include "jet/format/tabledef.h"
#include "jet/value.h"

namespace jet {

class RowView {
public:
    // Checks the row's frame (column count, null mask, variable offsets).
    // The view keeps a pointer to `bytes`, which must outlive it.
    Status parse(const TableDef& def, ByteSpan bytes, RowId id);

    // The value of column `c` of this row. Memo and OLE values are read
    // through `pager`; with `lvalPages`, the LVAL pages such a value lies on
    // are added to it. `out` keeps its buffers when it already holds a value
    // of the same kind.
    Status read(const ColumnDef& c, Pager& pager, Value* out, std::vector<std::uint32_t>* lvalPages = nullptr) const;
    // Every column's value, as read() gives it.
    // REQUIRES: row->size() == def.columns.size()
    Status readAll(const TableDef& def, Pager& pager, std::vector<Value>* row) const;

    RowId id() const { return id_; }

private:
    bool present(std::uint16_t number) const;
    Status corrupt(const std::string& what) const;
    // False when the value would reach past the fixed area.
    bool fixedBytes(const ColumnDef& c, std::size_t size, ByteSpan* out) const;
    // False when the row has no slot for the column (written before it existed).
    bool varBytes(const ColumnDef& c, ByteSpan* out) const;
    // The stored bytes of a column's value; *there is false for a value the
    // row does not hold. False when a fixed value reaches past its area.
    bool bytesOf(const ColumnDef& c, ByteSpan* out, bool* there) const;
    // The value of a column that is neither memo nor OLE; false where the
    // row is damaged (read() tells how).
    bool scalar(const ColumnDef& c, Value* out) const;

    ByteSpan bytes_;
    RowId id_;
    std::uint16_t columnCount_ = 0;
    std::size_t maskAt_ = 0;     // null mask: bytes [maskAt_, end)
    std::uint16_t varCount_ = 0; // variable slots in this row
    std::size_t varTableAt_ = 0; // offset of the end-of-data entry
    std::size_t fixedEnd_ = 0;   // fixed values must end here
    mutable Bytes longValue_;    // the last memo or OLE value read, its buffer reused
};

// Decodes a fixed-size or variable value of column `c` from its bytes
// (not for Bool, Memo, Ole); false when they are fewer than its type takes.
bool decodeScalar(const ColumnDef& c, ByteSpan bytes, Value* out);

} // namespace jet
