// The engine's side of a table: its definition, pager and write session, and the scan
// behind Table::Cursor with the row views the engine reads columns from.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "jet/format/data_page.h"
#include "jet/format/row_pointer.h"
#include "jet/format/tabledef.h"
#include "jet/io/pager.h"
#include "jet/table.h"
#include "jet/table/row.h"
#include "jet/table/write_session.h"

namespace jet {

class TableImpl final : public Table {
public:
    // A table read on its own: it takes no rows.
    TableImpl(Pager& pager, std::string name, TableDef def);
    // A table of the database behind `session`; `def` comes from
    // session->definition().
    TableImpl(std::shared_ptr<WriteSession> session, std::string name, std::shared_ptr<TableDef> def);

    const std::string& name() const override { return name_; }
    const std::vector<Column>& columns() const override;
    int columnIndex(std::string_view name) const override;
    std::uint32_t rowCount() const override { return def_->rowCount; }
    // With the counters as the table's appends left them.
    const TableDef& def() const { return *def_; }
    Pager& pager() const { return *pager_; }

    // The table's data pages in map order.
    Status dataPages(std::vector<std::uint32_t>* pages) const;
    Status dataPageCount(std::size_t* count) const override;

    Status append(std::vector<Value>* row) override;
    Status append(std::vector<Value>* row, const std::vector<bool>& emptiable,
                  std::vector<std::size_t>* emptied) override;
    Status canAppend() const override;
    void expect(std::size_t rows) override;
    Status highestIndexed(std::string_view column, bool* found, Value* highest) const override;

private:
    Pager* pager_;
    std::string name_;
    std::shared_ptr<TableDef> def_;
    std::shared_ptr<WriteSession> session_; // null for a table that takes no rows
    mutable std::vector<Column> columns_;   // made on first use
};

// Every Table is a TableImpl.
inline const TableImpl& impl(const Table& table) { return static_cast<const TableImpl&>(table); }
inline TableImpl& impl(Table& table) { return static_cast<TableImpl&>(table); }

// The rows of a table in scan order.
class TableScan {
public:
    // With `decode` false only view() and rowId() are filled by next().
    explicit TableScan(const TableImpl& table, bool decode = true) : table_(&table), decode_(decode) {}

    // Moves to the next live row; *hasRow is false at the end.
    Status next(bool* hasRow);
    // The current row's values in the definition's column order. The
    // buffer is reused by the next call of next().
    const std::vector<Value>& row() const { return row_; }
    std::vector<Value>& row() { return row_; }
    // Where the row is listed (for a moved row: the slot that points to it).
    RowId rowId() const { return id_; }
    const RowView& view() const { return view_; }
    // One column of the current row, by its position in the definition
    // (`lvalPages` as for RowView::read).
    Status read(std::size_t column, Value* out, std::vector<std::uint32_t>* lvalPages = nullptr) const;

private:
    Status advance(bool* hasRow);
    Status inTable(Status s) const;
    Status start();
    Status nextPage(bool* hasPage);
    Status load(const RowSlot& slot, bool* isRow);

    const TableImpl* table_;
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

} // namespace jet
