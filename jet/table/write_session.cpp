#include "jet/table/write_session.h"

#include "jet/table/table_writer.h"

namespace jet {

using Code = Status::Code;

WriteSession::WriteSession(Pager& pager) : pager_(&pager) {}

WriteSession::~WriteSession() = default;

void WriteSession::close() {
    writers_.clear();
    lastWriter_ = nullptr;
    pager_ = nullptr;
}

Status WriteSession::definition(std::uint32_t tdefPage, std::shared_ptr<TableDef>* out) {
    std::weak_ptr<TableDef>& known = definitions_[tdefPage];
    *out = known.lock();
    if (*out) return Status::OK();
    auto def = std::make_shared<TableDef>();
    JET_TRY(readTableDef(*pager_, tdefPage, def.get()));
    known = def;
    *out = std::move(def);
    return Status::OK();
}

Status WriteSession::begin() { return pager_->begin(); }

Status WriteSession::commit() {
    if (!pager_->inTransaction()) return Status::error(Code::InvalidArgument, "Žiadna transakcia neprebieha.");
    // After a failure flush() writes nothing and the pager refuses the commit.
    Status s = flush();
    if (s.ok()) s = pager_->commit();
    if (!s.ok()) pager_->fail(s);
    return s;
}

Status WriteSession::rollback() {
    // What the writers hold describes the transaction being undone.
    writers_.clear();
    lastWriter_ = nullptr;
    JET_TRY(pager_->rollback());
    return reloadCounters();
}

Status WriteSession::reloadCounters() {
    for (auto& [page, known] : definitions_)
        if (std::shared_ptr<TableDef> def = known.lock()) JET_TRY(readCounters(*pager_, def.get()));
    return Status::OK();
}

Status WriteSession::flush() {
    // After a failure the writers may hold half an append: nothing of it goes.
    if (!pager_->failure().ok()) return Status::OK();
    for (auto& [page, writer] : writers_) JET_TRY(writer->flush());
    return Status::OK();
}

Status WriteSession::writerOf(const std::shared_ptr<TableDef>& def, TableWriter** out) {
    // Rows come in runs for one table.
    if (lastWriter_ && lastWriter_->def() == def) {
        *out = lastWriter_;
        return Status::OK();
    }
    auto it = writers_.find(def->firstPage);
    if (it == writers_.end()) {
        std::unique_ptr<TableWriter> writer;
        Status s = TableWriter::open(*pager_, def, &writer);
        // A table we cannot write refuses each row; nothing was written.
        if (s.code() == Code::Unsupported) return Status::error(Code::Refused, s.message());
        JET_TRY(s);
        it = writers_.emplace(def->firstPage, std::move(writer)).first;
    }
    *out = it->second.get();
    return Status::OK();
}

void WriteSession::expect(const std::shared_ptr<TableDef>& def, std::size_t rows) {
    TableWriter* writer = nullptr;
    if (writerOf(def, &writer).ok()) writer->expect(rows);
}

Status WriteSession::appendInTransaction(const std::shared_ptr<TableDef>& def, std::vector<Value>* row,
                                         const std::vector<bool>* emptiable, std::vector<std::size_t>* emptied) {
    JET_TRY(pager_->failure());
    TableWriter* writer = nullptr;
    JET_TRY(writerOf(def, &writer));
    // Rows going to another table: the last one's index pages need not
    // stay decoded in memory.
    Status s = lastWriter_ && lastWriter_ != writer ? lastWriter_->release() : Status::OK();
    lastWriter_ = writer;
    if (s.ok()) s = writer->append(row, emptiable, emptied);
    // A refused row leaves nothing behind; any other failure leaves the
    // transaction only its rollback, which the pager decides from here on.
    if (!s.ok() && s.code() != Code::Refused) pager_->fail(s);
    return s;
}

Status WriteSession::append(const std::shared_ptr<TableDef>& def, std::vector<Value>* row,
                            const std::vector<bool>* emptiable, std::vector<std::size_t>* emptied) {
    if (pager_->inTransaction()) return appendInTransaction(def, row, emptiable, emptied);
    JET_TRY(begin());
    Status s = appendInTransaction(def, row, emptiable, emptied);
    if (s.ok()) s = commit();
    if (!s.ok()) {
        Status undone = rollback();
        if (!undone.ok()) return undone;
    }
    return s;
}

} // namespace jet
