// The write side of one database: the tables opened from it, one writer per
// table that takes its appends, and the transaction around them. The open
// handles of a table and its writer share one definition, so that the
// counters the writer keeps (rows, AutoNumber, distinct keys per index) are
// the ones the handles show. After an append failed other than by a
// refusal, the transaction only accepts rollback().
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "jet/format/tabledef.h"
#include "jet/io/pager.h"
#include "jet/status.h"
#include "jet/value.h"

namespace jet {

class Table;
class TableImpl;
class TableWriter;

class WriteSession {
public:
    explicit WriteSession(Pager& pager);
    // Tables left open can no longer take rows.
    ~WriteSession();
    WriteSession(const WriteSession&) = delete;
    WriteSession& operator=(const WriteSession&) = delete;

    Pager& pager() const { return *pager_; }

    // Opens the table whose definition begins at `tdefPage`; `name` is its
    // catalogue name.
    Status openTable(std::string name, std::uint32_t tdefPage, std::unique_ptr<Table>* out);

    Status begin();
    Status commit();
    Status rollback();

    // Appends `row` to the table of `def` (see Table::append); outside a
    // transaction in one of its own.
    // REQUIRES: `def` is the definition of a table opened here.
    Status append(const std::shared_ptr<TableDef>& def, std::vector<Value>* row);
    // Hands what the writers hold in memory to the pager, so that readers see it.
    Status flush();

private:
    friend class TableImpl;
    void opened(TableImpl* table);
    void closed(TableImpl* table);

    Status definition(std::uint32_t tdefPage, std::shared_ptr<TableDef>* out);
    Status appendInTransaction(const std::shared_ptr<TableDef>& def, std::vector<Value>* row);
    Status writerOf(const std::shared_ptr<TableDef>& def, TableWriter** out);
    // After a rollback the open tables read their counters again, so that
    // none shows what a rolled-back append left.
    Status reloadOpenTables();

    Pager* pager_;
    std::vector<TableImpl*> openTables_;                            // opened here and not yet closed
    std::map<std::uint32_t, std::unique_ptr<TableWriter>> writers_; // by TDEF page
    TableWriter* lastWriter_ = nullptr;                             // the one that took the last row
    Status pendingFailure_;                                         // an append that failed inside the open transaction
};

} // namespace jet
