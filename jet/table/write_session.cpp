#include "jet/table/write_session.h"

#include <algorithm>

#include "jet/table/table_impl.h"
#include "jet/table/table_writer.h"

namespace jet {

using Code = Status::Code;

WriteSession::WriteSession(Pager& pager) : pager_(&pager) {}

WriteSession::~WriteSession() {
    for (TableImpl* t : openTables_) t->session_ = nullptr;
}

void WriteSession::opened(TableImpl* table) { openTables_.push_back(table); }

void WriteSession::closed(TableImpl* table) { std::erase(openTables_, table); }

Status WriteSession::openTable(std::string name, std::uint32_t tdefPage, std::unique_ptr<Table>* out) {
    JET_TRY(flush());
    TableDef def;
    JET_TRY(readTableDef(*pager_, tdefPage, &def));
    *out = std::make_unique<TableImpl>(*this, std::move(name), std::move(def));
    return Status::OK();
}

Status WriteSession::begin() {
    JET_TRY(pager_->begin());
    pendingFailure_ = Status::OK();
    return Status::OK();
}

Status WriteSession::commit() {
    if (!pager_->inTransaction()) return Status::error(Code::InvalidArgument, "Žiadna transakcia neprebieha.");
    if (!pendingFailure_.ok()) return pendingFailure_;
    Status s = flush();
    if (s.ok()) s = pager_->commit();
    if (!s.ok()) pendingFailure_ = s;
    return s;
}

Status WriteSession::rollback() {
    // What the writers hold describes the transaction being undone.
    writers_.clear();
    lastWriter_ = nullptr;
    pendingFailure_ = Status::OK();
    JET_TRY(pager_->rollback());
    return reloadOpenTables();
}

Status WriteSession::reloadOpenTables() {
    for (TableImpl* t : openTables_) JET_TRY(t->reloadCounters());
    return Status::OK();
}

Status WriteSession::flush() {
    if (!pendingFailure_.ok()) return Status::OK();
    for (auto& [page, writer] : writers_) JET_TRY(writer->flush());
    return Status::OK();
}

Status WriteSession::writerOf(std::uint32_t tdefPage, TableWriter** out) {
    auto it = writers_.find(tdefPage);
    if (it == writers_.end()) {
        std::unique_ptr<TableWriter> writer;
        Status s = TableWriter::open(*pager_, tdefPage, &writer);
        // A table we cannot write refuses each row; nothing was written.
        if (s.code() == Code::Unsupported) return Status::error(Code::Refused, s.message());
        JET_TRY(s);
        it = writers_.emplace(tdefPage, std::move(writer)).first;
    }
    *out = it->second.get();
    return Status::OK();
}

Status WriteSession::appendInTransaction(TableDef* mirror, std::vector<Value>* row) {
    if (!pendingFailure_.ok()) return pendingFailure_;
    TableWriter* writer = nullptr;
    JET_TRY(writerOf(mirror->firstPage, &writer));
    // Rows going to another table: the last one's index pages need not
    // stay decoded in memory.
    Status s = lastWriter_ && lastWriter_ != writer ? lastWriter_->release() : Status::OK();
    lastWriter_ = writer;
    if (s.ok()) s = writer->append(row);
    if (!s.ok() && s.code() != Code::Refused) pendingFailure_ = s;
    if (!s.ok()) return s;
    mirror->rowCount = writer->def().rowCount;
    mirror->autonumber = writer->def().autonumber;
    return Status::OK();
}

Status WriteSession::append(TableDef* mirror, std::vector<Value>* row) {
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
