// Appends rows to one table: checks every value and every index before
// anything is written, then stores long values, the row and the index
// entries, and keeps the row count, the AutoNumber counter and the index
// statistics. The data page being filled, the index pages in use and the
// counters stay in memory until flush(). New index entries gather in a
// batch per index and go into the trees sorted, at flush() or release() or
// when the batches fill their memory budget; the uniqueness test looks at
// the tree and at the batch, so that it sees every row appended before.
#pragma once

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "jet/table/column_rules.h"
#include "jet/format/data_page_writer.h"
#include "jet/index/entry_batch.h"
#include "jet/index/index_tree.h"
#include "jet/index/taken_keys.h"
#include "jet/index/keys.h"
#include "jet/table/longvalue_writer.h"
#include "jet/io/pager.h"
#include "jet/table/row_writer.h"
#include "jet/status.h"
#include "jet/format/tabledef.h"
#include "jet/value.h"

namespace jet {

// Ok when rows can be appended to a table of this definition: every column
// of a type we can store, every index key one we can build exactly.
Status checkAppendable(const TableDef& def);

// Reads the counters appends change (rows, AutoNumber, distinct keys per
// index) into *def from the definition's first page, where flush() writes them.
Status readCounters(Pager& pager, TableDef* def);

class TableWriter {
public:
    // A writer for the table of `def`. It starts from the counters the file
    // holds and keeps them in *def, which the table's open handles share.
    static Status open(Pager& pager, std::shared_ptr<TableDef> def, std::unique_ptr<TableWriter>* out);

    // Appends one row (values in the definition's column order; on return
    // normalized to the column types, AutoNumber values filled in). Refused,
    // with nothing written, when a value or an index does not take it. A
    // value its column cannot hold, in a column `emptiable` marks, is left
    // out instead and its column listed in *emptied (see Table::append).
    // REQUIRES: `emptiable` and `emptied` both null or both given.
    Status append(std::vector<Value>* row, const std::vector<bool>* emptiable = nullptr,
                  std::vector<std::size_t>* emptied = nullptr);
    // About `rows` rows are to come: each index's batch makes room for them.
    void expect(std::size_t rows);
    // Writes every page and counter held in memory to the pager.
    Status flush();
    // Writes back and lets go of most decoded index pages: for a table that
    // takes no rows for now.
    Status release();

    const std::shared_ptr<TableDef>& def() const { return sharedDef_; }

private:
    struct Index {
        RealIndexDef* def;
        std::vector<KeyColumn> columns;
        bool unique = false, required = false;
        std::unique_ptr<IndexTree> tree;
        std::unique_ptr<EntryBatch> batch; // entries not in the tree yet
        std::unique_ptr<TakenKeys> taken;  // unique indexes only
        Bytes key;
        std::uint64_t hash = 0; // the key's hashKey(), for unique indexes
        bool skip = false;      // no entry for this row
        bool tested = false;    // the row's key passed the uniqueness test
    };

    TableWriter(Pager& pager, std::shared_ptr<TableDef> def);
    Status prepare();
    Status prepareValues(std::vector<Value>& row, const std::vector<bool>* emptiable, std::vector<std::size_t>* emptied,
                         std::size_t* variable);
    Status placeLongValues(const std::vector<Value>& row, std::size_t variable, std::size_t* length);
    Status checkIndexes(const std::vector<Value>& row);
    Status storeLongValues(const std::vector<Value>& row);
    Status placeRow(RowPointer* where);
    Status startPage();
    Status insertBatches();

    Pager* pager_;
    std::shared_ptr<TableDef> sharedDef_;
    TableDef& def_; // *sharedDef_
    RowLayout layout_;
    std::vector<Index> indexes_;
    std::vector<ColumnRules> rules_;                           // per column
    std::vector<std::unique_ptr<LongValueWriter>> longValues_; // per column; null for others
    std::vector<std::size_t> longColumns_;                     // the memo and OLE columns
    std::vector<std::size_t> autonumbered_;                    // the Long AutoNumber columns
    std::vector<bool> inline_;                                 // per column, this row
    Bytes fixed_;                                              // this row's fixed area
    std::vector<Bytes> fields_;                                // per variable column, this row
    Bytes reference_;                                          // a long value's reference, this row
    Bytes row_;
    FillingPage page_; // the data page being filled
    bool countersDirty_ = false;
    std::mt19937_64 random_;
};

} // namespace jet
