// The page file: a Jet database seen as numbered fixed-size pages, with
// exclusive locking, a bounded page cache and atomic transactions through a
// write-ahead log beside the file (jet/io/wal.h): until a transaction is
// committed, the pages the file held when it began stay as they were, so
// that any other reader of the file finds it whole. One thread at a time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "jet/options.h"
#include "jet/status.h"

namespace jet {

constexpr std::uint32_t kPageSize = 4096; // Jet 4
// The format's 2 GB limit.
constexpr std::uint32_t kMaxPages = (std::uint32_t{1} << 31) / kPageSize;

struct Page {
    std::array<std::uint8_t, kPageSize> bytes;
};
using PageRef = std::shared_ptr<const Page>;

class Pager {
public:
    using Mode = OpenMode;
    using Options = OpenOptions;

    // Opens and locks the file. Exclusive: no other open of the file, in this
    // process or another, succeeds until close; ReadOnly: a shared lock.
    // A log left by an interrupted run is dealt with first, when it fits the
    // file: Exclusive finishes its committed transaction or undoes an
    // uncommitted one and deletes it; ReadOnly writes nothing and reads the
    // file as that would leave it. One that does not fit is set aside
    // (jet/io/leftover.h); options.notices learns of both. Exclusive fails
    // when no log can be made beside the file.
    static Status open(const std::string& path, Mode mode, const Options& options, std::unique_ptr<Pager>* out);
    static Status open(const std::string& path, Mode mode, std::unique_ptr<Pager>* out) {
        return open(path, mode, Options{}, out);
    }
    virtual ~Pager() = default;

    virtual Mode mode() const = 0;
    virtual std::uint32_t pageCount() const = 0;
    // How many pages the cache holds now (never more than Options::cachePages).
    virtual std::size_t cachedPages() const = 0;
    // The page as it stands now (including changes of the open transaction).
    // A page past the end of the file is a Corrupt status. The page stays
    // valid and unchanged for as long as the caller holds it, whatever the
    // cache or later writes do.
    virtual Status read(std::uint32_t pgno, PageRef* out) = 0;

    // Transactions (Exclusive only). Every write below happens inside one.
    // After a failed write or commit the transaction only accepts rollback().
    // A commit that fails after its commit record reached the disk, and a
    // failed rollback, leave the log behind and the pager unusable; the next
    // open puts the file right. A commit that fails once its commit record
    // is on the disk is a Pending status: the next open finishes it. Closing the pager during a transaction rolls
    // it back.
    virtual Status begin() = 0;
    virtual Status commit() = 0;
    virtual Status rollback() = 0;
    virtual bool inTransaction() const = 0;
    // Replaces the content of an existing page (in the cache, then in the
    // log; in the file only once the transaction is committed).
    virtual Status write(std::uint32_t pgno, const Page& page) = 0;
    // Appends a new page filled with `page` and returns its number; refuses to
    // grow the file past the format's 2 GB limit (TooLarge, nothing changed).
    virtual Status append(const Page& page, std::uint32_t* pgno) = 0;

    // For measurements: the seconds the last commit in this process spent
    // between the first write of a logged page into the file and the last
    // flush, the time in which other readers of the file find it half old,
    // half new.
    static double lastCommitWindow();
};

} // namespace jet
