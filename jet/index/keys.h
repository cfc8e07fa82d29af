// Index keys: the bytes an index entry holds for the values of its columns.
// Entries compare with memcmp, so each encoding makes byte order equal value
// order (reversed for descending columns).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "jet/status.h"
#include "jet/format/tabledef.h"
#include "jet/value.h"

namespace jet {

// What the encoder needs to know of one index column.
struct KeyColumn {
    ColumnType type = ColumnType::Long;
    bool ascending = true;
    std::uint16_t sortOrder = 0;  // text and memo
    std::uint8_t sortVersion = 0; // text and memo
    std::size_t position = 0;     // where its value stands in a row: its place in TableDef::columns
};

// The key columns of a real index of `table`, bound to the columns of its
// rows; Corrupt when the index names a column the table does not have.
Status keyColumnsOf(const TableDef& table, const RealIndexDef& index, std::vector<KeyColumn>* out);

// Appends one column's field (flag byte and value bytes) to `out`.
// Unsupported for a type or sort order we cannot encode exactly;
// InvalidArgument when the value does not fit the column type. A refused
// value leaves `out` as it was.
Status appendKeyField(const KeyColumn& column, const Value& value, Bytes* out);

// The whole key of a row: the field of each column's value, in place of
// what `out` held (its buffer is reused). InvalidArgument when a column's
// position lies past the row.
Status encodeKey(std::span<const KeyColumn> columns, std::span<const Value> row, Bytes* out);

// Whether every / any key column's value in the row is Null (a boolean
// never is).
bool allKeyValuesNull(std::span<const KeyColumn> columns, std::span<const Value> row);
bool anyKeyValueNull(std::span<const KeyColumn> columns, std::span<const Value> row);

} // namespace jet
