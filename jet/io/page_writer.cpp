#include "jet/io/page_writer.h"

#include <cassert>
#include <system_error>
#include <utility>

namespace jet {

Status writeRuns(File& file, const std::vector<PageRun>& runs) {
    std::vector<ByteSpan> parts;
    for (const PageRun& run : runs) {
        parts.clear();
        for (const PageRef& page : run.pages) parts.push_back(page->bytes);
        const std::uint64_t offset = std::uint64_t{run.first} * kPageSize;
        JET_TRY(file.writeParts(offset, parts));
        file.startSync(offset, run.pages.size() * kPageSize);
    }
    return Status::OK();
}

PageWriter::~PageWriter() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void PageWriter::start(std::function<Status()> batch) {
    std::unique_lock<std::mutex> lock(mutex_);
    assert(!busy_);
    if (!thread_.joinable()) {
        try {
            thread_ = std::thread([this] { work(); });
        } catch (const std::system_error&) {
            outcome_ = batch(); // no thread: run here
            return;
        }
    }
    batch_ = std::move(batch);
    busy_ = true;
    lock.unlock();
    changed_.notify_all();
}

Status PageWriter::wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return !busy_; });
    return std::exchange(outcome_, Status::OK());
}

void PageWriter::work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return busy_ || stopping_; });
        if (!busy_) return;
        std::function<Status()> batch = std::move(batch_);
        lock.unlock();
        Status outcome = batch();
        batch = nullptr; // the pages it holds are the cache's again
        lock.lock();
        outcome_ = std::move(outcome);
        busy_ = false;
        changed_.notify_all();
    }
}

} // namespace jet
