// A table: its definition and a cursor over its rows in table-scan order
// (data pages in the order of the owned-pages map, rows in slot order).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jet/data_page.h"
#include "jet/pager.h"
#include "jet/row.h"
#include "jet/row_pointer.h"
#include "jet/status.h"
#include "jet/tabledef.h"
#include "jet/value.h"

namespace jet {

class Table {
public:
    Table(Pager& pager, std::string name, TableDef def)
        : pager_(&pager), name_(std::move(name)), def_(std::move(def)) {}

    const std::string& name() const { return name_; }
    const TableDef& def() const { return def_; }
    // The row count stored in the definition.
    std::uint32_t rowCount() const { return def_.rowCount; }
    Pager& pager() const { return *pager_; }

    // The table's data pages in map order.
    Status dataPages(std::vector<std::uint32_t>* pages) const;

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
    Pager* pager_;
    std::string name_;
    TableDef def_;
};

} // namespace jet
