// The write side of one database: one writer per table that takes its
// appends, and the transaction around them. The open handles of a table
// and its writer share one definition, so that the counters the writer
// keeps (rows, AutoNumber, distinct keys per index) are the ones the
// handles show. After an append failed other than by a refusal, the
// transaction only accepts rollback(): the session tells the pager, whose
// state decides what a failed transaction still accepts (jet/io/pager.h).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "jet/format/tabledef.h"
#include "jet/io/pager.h"
#include "jet/status.h"
#include "jet/value.h"

namespace jet {

class TableWriter;

class WriteSession {
public:
    explicit WriteSession(Pager& pager);
    ~WriteSession();
    WriteSession(const WriteSession&) = delete;
    WriteSession& operator=(const WriteSession&) = delete;

    // The database is closing: the writers go, and tables still open take
    // no more rows.
    void close();
    bool isOpen() const { return pager_ != nullptr; }
    // REQUIRES: isOpen()
    Pager& pager() const { return *pager_; }

    // The definition of the table that begins at `tdefPage`: the one its
    // open handles and its writer share, read from the file when nobody
    // holds it.
    Status definition(std::uint32_t tdefPage, std::shared_ptr<TableDef>* out);

    Status begin();
    Status commit();
    Status rollback();

    // Appends `row` to the table of `def` (see Table::append; `emptiable`
    // and `emptied` null or both given); outside a transaction in one of
    // its own.
    // REQUIRES: isOpen(); `def` came from definition().
    Status append(const std::shared_ptr<TableDef>& def, std::vector<Value>* row, const std::vector<bool>* emptiable,
                  std::vector<std::size_t>* emptied);
    // About `rows` rows are to be appended to the table of `def` (see
    // Table::expect); a table its writer cannot take lets it pass, and its
    // first append fails as it would have.
    void expect(const std::shared_ptr<TableDef>& def, std::size_t rows);
    // Hands what the writers hold in memory to the pager, so that readers see it.
    Status flush();

private:
    Status appendInTransaction(const std::shared_ptr<TableDef>& def, std::vector<Value>* row,
                               const std::vector<bool>* emptiable, std::vector<std::size_t>* emptied);
    Status writerOf(const std::shared_ptr<TableDef>& def, TableWriter** out);
    // After a rollback the definitions in use read their counters again, so
    // that no open table shows what a rolled-back append left.
    Status reloadCounters();

    Pager* pager_;                                                  // null once closed
    std::map<std::uint32_t, std::weak_ptr<TableDef>> definitions_;  // by TDEF page, while in use
    std::map<std::uint32_t, std::unique_ptr<TableWriter>> writers_; // by TDEF page
    TableWriter* lastWriter_ = nullptr;                             // the one that took the last row
};

} // namespace jet
