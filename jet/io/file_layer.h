// The operating-system files beneath the pager: positioned whole-buffer reads
// and writes, flushes, truncation and locks (advisory on POSIX systems,
// enforced sharing modes on Windows). An interface, so that
// tests can put a layer underneath that fails or "crashes" on demand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "jet/status.h"
#include "jet/util/bytes.h"

namespace jet {

class File {
public:
    virtual ~File() = default;
    // Reads exactly n bytes at offset; fewer bytes available is an error.
    virtual Status read(std::uint64_t offset, void* buf, std::size_t n) = 0;
    virtual Status write(std::uint64_t offset, const void* buf, std::size_t n) = 0;
    // Reads into `parts`, one after another, what read() would read into
    // their concatenation; writes `parts` as write() would write theirs.
    // Here several parts go through one buffer they are copied to or from.
    virtual Status readParts(std::uint64_t offset, std::span<const std::span<std::uint8_t>> parts);
    virtual Status writeParts(std::uint64_t offset, std::span<const ByteSpan> parts);
    // Returns once everything written so far is on the disk.
    virtual Status sync() = 0;
    // Whether reads and writes may come from two threads at once.
    virtual bool sharedByThreads() const { return false; }
    // Asks the system to start putting these bytes, written already, on the
    // disk without waiting for them, so that a later sync() has less left
    // to wait for. A hint: it promises nothing, and may do nothing.
    virtual void startSync(std::uint64_t /*offset*/, std::uint64_t /*n*/) {}
    virtual Status truncate(std::uint64_t size) = 0;
    virtual Status size(std::uint64_t* out) = 0;

private:
    std::vector<std::uint8_t> joined_; // readParts' and writeParts' buffer
};

class FileLayer {
public:
    enum class Access {
        Read,      // existing file, read only
        ReadWrite, // existing file
        Create     // created, or emptied when it exists
    };
    enum class Lock {
        None,
        Shared,   // many readers; conflicts with Exclusive
        Exclusive // conflicts with every other lock, in this process too
    };

    virtual ~FileLayer() = default;
    // Opens a regular file and takes the lock; a lock held elsewhere is a
    // Locked status, never a wait.
    virtual Status open(const std::string& path, Access access, Lock lock, std::unique_ptr<File>* out) = 0;
    virtual bool exists(const std::string& path) = 0;
    virtual Status remove(const std::string& path) = 0;
    // Gives a file another name in the same folder; `to` must name no file
    // (the caller picks one). Durable once syncFolder succeeds.
    virtual Status rename(const std::string& from, const std::string& to) = 0;
    // Makes creations and removals of files in the folder of `path` durable.
    virtual Status syncFolder(const std::string& path) = 0;
    // Removes the file; the removal is on the disk when this succeeds.
    Status removeDurably(const std::string& path) {
        JET_TRY(remove(path));
        return syncFolder(path);
    }
    // The name of the file itself when `path` is a symbolic link to it (the
    // log belongs beside the file, where every name of it finds it);
    // `path` unchanged when it is no link or cannot be resolved.
    virtual std::string realPath(const std::string& path) { return path; }
};

// The real files of this computer: file_layer_posix.cpp or
// file_layer_windows.cpp, whichever the build is for.
std::shared_ptr<FileLayer> systemFileLayer();

// A Status for the operating-system error `err` (an errno value):
// "<what>. <Slovak reason>".
Status osError(int err, const std::string& what);
// The same for an error code of the system that has no errno counterpart.
Status otherOsError(long code, const std::string& what);
// A path to something that is neither a file nor a folder (a pipe, a device).
Status notRegularFile();
// A read that reached the end of the file before it filled the buffer.
Status shortRead();

} // namespace jet
