// The write side of Database: transactions and appends through
// one TableWriter per table.
#include "jet/db/database_impl.h"
#include "jet/table/table_writer.h"

namespace jet {

using Code = Status::Code;

DatabaseImpl::DatabaseImpl() = default;

DatabaseImpl::~DatabaseImpl() {
    // Tables left open can no longer take rows.
    for (TableImpl* t : openTables_) t->db_ = nullptr;
}

void DatabaseImpl::opened(TableImpl* table) { openTables_.push_back(table); }

void DatabaseImpl::closed(TableImpl* table) { std::erase(openTables_, table); }

Status DatabaseImpl::begin() {
    JET_TRY(pager_->begin());
    pendingFailure_ = Status::OK();
    return Status::OK();
}

Status DatabaseImpl::commit() {
    if (!pager_->inTransaction()) return Status::error(Code::InvalidArgument, "Žiadna transakcia neprebieha.");
    if (!pendingFailure_.ok()) return pendingFailure_;
    Status s = flushWrites();
    if (s.ok()) s = pager_->commit();
    if (!s.ok()) pendingFailure_ = s;
    return s;
}

Status DatabaseImpl::rollback() {
    // What the writers hold describes the transaction being undone.
    writers_.clear();
    lastWriter_ = nullptr;
    pendingFailure_ = Status::OK();
    JET_TRY(pager_->rollback());
    return reloadOpenTables();
}

Status DatabaseImpl::reloadOpenTables() {
    for (TableImpl* t : openTables_) JET_TRY(t->reloadCounters());
    return Status::OK();
}

Status DatabaseImpl::flushWrites() {
    if (!pendingFailure_.ok()) return Status::OK();
    for (auto& [page, writer] : writers_) JET_TRY(writer->flush());
    return Status::OK();
}

Status DatabaseImpl::appendInTransaction(TableDef* mirror, std::vector<Value>* row) {
    if (!pendingFailure_.ok()) return pendingFailure_;
    auto it = writers_.find(mirror->firstPage);
    if (it == writers_.end()) {
        std::unique_ptr<TableWriter> writer;
        Status s = TableWriter::open(*pager_, mirror->firstPage, &writer);
        // A table we cannot write refuses each row; nothing was written.
        if (s.code() == Code::Unsupported) return Status::error(Code::Refused, s.message());
        JET_TRY(s);
        it = writers_.emplace(mirror->firstPage, std::move(writer)).first;
    }
    // Rows going to another table: the last one's index pages need not
    // stay decoded in memory.
    Status s = lastWriter_ && lastWriter_ != it->second.get() ? lastWriter_->release() : Status::OK();
    lastWriter_ = it->second.get();
    if (s.ok()) s = it->second->append(row);
    if (s.code() == Code::Refused) return s;
    if (!s.ok()) {
        pendingFailure_ = s;
        return s;
    }
    mirror->rowCount = it->second->def().rowCount;
    mirror->autonumber = it->second->def().autonumber;
    return Status::OK();
}

Status DatabaseImpl::append(TableDef* mirror, std::vector<Value>* row) {
    if (pager_->inTransaction()) return appendInTransaction(mirror, row);
    JET_TRY(begin());
    Status s = appendInTransaction(mirror, row);
    if (s.ok()) s = commit();
    if (!s.ok()) {
        Status undone = rollback();
        if (!undone.ok()) return undone;
    }
    return s;
}

} // namespace jet
