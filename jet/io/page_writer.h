// A merge's added pages go to the file on a thread of their own, a batch at
// a time, while the caller lays out the next rows: the log lists them (with
// their sums) and is flushed, then they are written and started on their
// way to the disk. The caller waits for a batch before any other change to
// its files, and before reading back a page the batch may hold, so the
// files see the same changes in the same order as when each batch was
// written in place.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "jet/io/file_layer.h"
#include "jet/io/pager.h"
#include "jet/status.h"

namespace jet {

// Pages one after another from page `first`, kept alive while they are written.
struct PageRun {
    std::uint32_t first = 0;
    std::vector<PageRef> pages;
};

// Writes the runs in order, each followed by File::startSync; stops at the
// first failure.
Status writeRuns(File& file, const std::vector<PageRun>& runs);

class PageWriter {
public:
    // Waits for the batch under way.
    ~PageWriter();

    // Starts `batch` on the thread; runs it here when no thread can be had.
    // REQUIRES: no batch under way (wait() returned since the last start).
    void start(std::function<Status()> batch);
    // Waits for the batch under way, if any: what it came to.
    Status wait();

private:
    void work();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<Status()> batch_; // guarded by mutex_, as the three below
    bool busy_ = false, stopping_ = false;
    Status outcome_;
    std::thread thread_; // started with the first batch
};

} // namespace jet
