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
#include <span>
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
    // Accepted in every state but Committed and Broken (failure() there).
    virtual Status read(std::uint32_t pgno, PageRef* out) = 0;

    // Transactions (Exclusive only). Every write below happens inside one.
    // The pager's state, and the function behind each change of it:
    //
    //            begin()                      commit()
    //   Idle ─────────────► Writing ─────────────────────────────► Idle
    //    ▲                  │  │  │
    //    │                  │  │  └─ commit(): the copy into place ───► Committed
    //    │                  │  │     fails after the commit record
    //    │                  │  └──── commit(): the commit record's ───► CommitRecordFailed
    //    │                  │        write or flush fails                    │
    //    │                  └─────── write(), append(), commit(), ───► Failed │
    //    │                           read() or fail() fails                 │ │
    //    │        rollback()                                                │ │
    //    └──────────────────── Writing, Failed, CommitRecordFailed ◄────────┘─┘
    //                          │
    //                          └─ rollback() fails ─────────────────► Broken
    //
    // Failed and CommitRecordFailed accept only rollback() (the latter first
    // takes back a commit record that may be on the disk all the same);
    // failure() says why. Committed and Broken accept nothing: the log stays
    // behind and the next open puts the file right, finishing a Committed
    // transaction (failure() is then a Pending status) or deciding a Broken
    // one by whether its commit record reached the disk. Closing the pager
    // in Writing, Failed or CommitRecordFailed rolls the transaction back.
    enum class State { Idle, Writing, Failed, CommitRecordFailed, Committed, Broken };
    virtual State state() const = 0;
    bool inTransaction() const { return state() != State::Idle; }
    // OK in Idle and Writing; otherwise why the transaction accepts no more
    // than the diagram above says.
    virtual Status failure() const = 0;

    // Accepted in Idle, by an Exclusive pager; refused elsewhere with an
    // InvalidArgument status, or in Committed and Broken with failure().
    virtual Status begin() = 0;
    // Accepted in Writing; refused in Idle with an InvalidArgument status,
    // elsewhere with failure().
    virtual Status commit() = 0;
    // Accepted in Writing, Failed and CommitRecordFailed; refused in Idle with
    // an InvalidArgument status, elsewhere with failure().
    virtual Status rollback() = 0;
    // A layer above failed in the middle of the transaction: from Writing the
    // pager goes to Failed, as after a failure of its own, and refuses all but
    // rollback() with `why`. Other states keep theirs.
    // REQUIRES: state() is not Idle.
    virtual void fail(const Status& why) = 0;
    // Replaces the content of an existing page (in the cache, then in the
    // log; in the file only once the transaction is committed).
    // Accepted in Writing; refused elsewhere as commit() is.
    virtual Status write(std::uint32_t pgno, const Page& page) = 0;
    // Replaces `bytes.size()` bytes of an existing page from `at` on, as
    // write() would with the whole page changed there.
    // REQUIRES: at + bytes.size() <= kPageSize.
    // Accepted in Writing; refused elsewhere as commit() is.
    virtual Status writeBytes(std::uint32_t pgno, std::size_t at, std::span<const std::uint8_t> bytes) = 0;
    // Appends a new page filled with `page` and returns its number; refuses to
    // grow the file past the format's 2 GB limit (TooLarge, nothing changed).
    // Accepted in Writing; refused elsewhere as commit() is.
    virtual Status append(const Page& page, std::uint32_t* pgno) = 0;

    // For measurements: the seconds the last commit in this process spent
    // between the first write of a logged page into the file and the last
    // flush, the time in which other readers of the file find it half old,
    // half new.
    static double lastCommitWindow();
};

} // namespace jet
