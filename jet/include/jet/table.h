// A table: its definition and a cursor over its rows in table-scan order
// (data pages in the order of the owned-pages map, rows in slot order).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "jet/format/data_page.h"
#include "jet/io/pager.h"
#include "jet/table/row.h"
#include "jet/format/row_pointer.h"
#include "jet/status.h"
#include "jet/format/tabledef.h"
#include "jet/value.h"

namespace jet {

class Table;

// What a table opened from a database asks of it: the database keeps the list
// of open tables, holds rows not yet handed to the pager and takes appends.
class TableOwner {
public:
    virtual void opened(Table* table) = 0;
    virtual void closed(Table* table) = 0;
    // Hands what the writers hold in memory to the pager, so that readers see it.
    virtual Status flushWrites() = 0;
    // Appends through the table's writer; `mirror` receives the new counters.
    virtual Status append(TableDef* mirror, std::vector<Value>* row) = 0;

protected:
    ~TableOwner() = default;
};

class Table {
public:
    // `db`, when given, is the database the table belongs to; only such a
    // table takes new rows.
    Table(Pager& pager, std::string name, TableDef def, TableOwner* db = nullptr);
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    const std::string& name() const { return name_; }
    const TableDef& def() const { return def_; }
    // The row count stored in the definition, with this table's appends
    // since it was opened (none that a rollback undid).
    std::uint32_t rowCount() const { return def_.rowCount; }
    Pager& pager() const { return *pager_; }

    // The table's data pages in map order.
    Status dataPages(std::vector<std::uint32_t>* pages) const;

    // Appends one row: values in the definition's column order, Null for
    // none. AutoNumber columns get the next number (a value offered for them
    // is ignored) and *row returns it, with every value normalized to its
    // column's type. Every index is kept. A value a column cannot hold, a
    // missing required value, a duplicate key in a unique index or a table
    // canAppend() turns down is Refused with the reason, and nothing is
    // written. Outside a transaction the row is one of its own.
    Status append(std::vector<Value>* row);
    // Whether the column at `column` (in definition order) can hold *value:
    // brings it to the column's own kind as append() does, or is Refused
    // with the reason and leaves it as it was. Rules on the whole row
    // (required values, indexes) are append()'s alone.
    Status fit(std::size_t column, Value* value) const;
    // Ok when rows can be appended to this table at all; otherwise why not.
    Status canAppend() const;

    // The largest value of a Long column, taken from the last entry of an
    // ascending index that begins with the column instead of from the rows.
    // *found is false when there is no such index or its tree cannot tell
    // (the caller then reads the rows); *highest is Null when the index
    // holds no value of the column.
    Status highestIndexed(std::string_view column, bool* found, Value* highest) const;

    class Cursor {
    public:
        // With `decode` false only view() and rowId() are filled by next().
        explicit Cursor(const Table& table, bool decode = true) : table_(&table), decode_(decode) {}

        // Moves to the next live row; *hasRow is false at the end.
        Status next(bool* hasRow);
        // The current row's values in the definition's column order. The
        // buffer is reused by the next call of next().
        const std::vector<Value>& row() const { return row_; }
        std::vector<Value>& row() { return row_; }
        // Where the row is listed (for a moved row: the slot that points to it).
        RowId rowId() const { return id_; }
        const RowView& view() const { return view_; }

    private:
        Status advance(bool* hasRow);
        Status inTable(Status s) const;
        Status start();
        Status nextPage(bool* hasPage);
        Status load(const RowSlot& slot, bool* isRow);

        const Table* table_;
        bool decode_;
        bool started_ = false;
        std::vector<std::uint32_t> pages_;
        std::size_t pageIndex_ = 0;
        DataPage page_;
        std::uint16_t slot_ = 0;
        bool onPage_ = false;
        DataPage target_; // the page of a moved row, kept while the row is current
        RowView view_;
        RowId id_;
        std::vector<Value> row_;
    };

private:
    friend class Database;
    // Reads again the counters appends change (rows, AutoNumber, distinct
    // keys per index) from the definition's first page.
    Status reloadCounters();

    Pager* pager_;
    std::string name_;
    TableDef def_;
    TableOwner* db_ = nullptr;
};

} // namespace jet
