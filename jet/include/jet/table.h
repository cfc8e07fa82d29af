// A table of an open database: its columns, appends, and a cursor over its
// rows in table-scan order (data pages in the order of the owned-pages map,
// rows in slot order).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "jet/status.h"
#include "jet/value.h"

namespace jet {

// What a column is, as far as a reader of its values needs to know.
struct Column {
    std::string name; // UTF-8
    ColumnType type = ColumnType::Binary;
    std::uint16_t length = 0; // bytes (text: 2 x characters; memo/ole: 0)
    bool autonumber = false;  // numbered by the engine (Long or GUID)
};

class TableScan; // the engine's scan behind a cursor

class Table {
public:
    virtual ~Table() = default;
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    virtual const std::string& name() const = 0;
    // In the order of the rows' values.
    virtual const std::vector<Column>& columns() const = 0;
    // The position of the column of that name, ignoring letter case; -1 when none.
    virtual int columnIndex(std::string_view name) const = 0;
    // The row count stored in the definition, with the rows appended since
    // through this or any other handle of the table (none that a rollback
    // undid).
    virtual std::uint32_t rowCount() const = 0;
    // How many data pages the table's page map lists.
    virtual Status dataPageCount(std::size_t* count) const = 0;

    // Appends one row: values in column order, Null for none. AutoNumber
    // columns get the next number (a value offered for them is ignored) and
    // *row returns it, with every value normalized to its column's type.
    // Every index is kept. A value a column cannot hold, a missing required
    // value, a duplicate key in a unique index or a table canAppend() turns
    // down is Refused with the reason, and nothing is written. Outside a
    // transaction the row is one of its own.
    virtual Status append(std::vector<Value>* row) = 0;
    // The same, except that a value its column cannot hold, in a column
    // that `emptiable` marks (a flag per column), is left out instead of
    // refusing the row: the field is taken as empty and its column listed in
    // *emptied (cleared first; in column order). The rest of the row is
    // judged as if it had come so.
    virtual Status append(std::vector<Value>* row, const std::vector<bool>& emptiable,
                          std::vector<std::size_t>* emptied) = 0;
    // Ok when rows can be appended to this table at all; otherwise why not.
    virtual Status canAppend() const = 0;
    // About `rows` more rows are to be appended: what grows with them is
    // sized once, now. A table that takes no rows lets it pass.
    // REQUIRES: the caller bounds `rows` by the memory it may take.
    virtual void expect(std::size_t rows) = 0;

    // The largest value of a Long column, taken from the last entry of an
    // ascending index that begins with the column instead of from the rows.
    // *found is false when there is no such index or its tree cannot tell
    // (the caller then reads the rows); *highest is Null when the index
    // holds no value of the column.
    virtual Status highestIndexed(std::string_view column, bool* found, Value* highest) const = 0;

    class Cursor {
    public:
        // With `decode` false next() fills no row; read() takes single columns.
        explicit Cursor(const Table& table, bool decode = true);
        ~Cursor();
        Cursor(const Cursor&) = delete;
        Cursor& operator=(const Cursor&) = delete;

        // Moves to the next live row; *hasRow is false at the end.
        Status next(bool* hasRow);
        // The current row's values in column order. The buffer is reused by
        // the next call of next().
        const std::vector<Value>& row() const;
        std::vector<Value>& row();
        // One column of the current row, by its position in columns().
        Status read(std::size_t column, Value* out) const;

    private:
        std::unique_ptr<TableScan> scan_;
    };

protected:
    Table() = default;
};

} // namespace jet
