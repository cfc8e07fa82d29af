#include "jet/io/file_layer.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace jet {

namespace {

class PosixFile final : public File {
public:
    explicit PosixFile(int fd) : fd_(fd) {}
    ~PosixFile() override { ::close(fd_); }

    // One buffer is one part.
    Status read(std::uint64_t offset, void* buf, std::size_t n) override {
        return moveParts(offset, {{buf, n}}, ::preadv, true);
    }

    Status write(std::uint64_t offset, const void* buf, std::size_t n) override {
        return moveParts(offset, {{const_cast<void*>(buf), n}}, ::pwritev, false);
    }

    Status readParts(std::uint64_t offset, std::span<const std::span<std::uint8_t>> parts) override {
        return moveParts(offset, listParts(parts), ::preadv, true);
    }

    Status writeParts(std::uint64_t offset, std::span<const ByteSpan> parts) override {
        return moveParts(offset, listParts(parts), ::pwritev, false);
    }

    bool sharedByThreads() const override { return true; } // positioned calls, nothing kept between them

    Status sync() override {
        if (::fsync(fd_) != 0) return osError(errno, "Uloženie súboru na disk zlyhalo");
        return Status::OK();
    }

#ifdef __linux__
    void startSync(std::uint64_t offset, std::uint64_t n) override {
        ::sync_file_range(fd_, static_cast<off_t>(offset), static_cast<off_t>(n), SYNC_FILE_RANGE_WRITE);
    }
#endif

    Status truncate(std::uint64_t size) override {
        int rc;
        do rc = ::ftruncate(fd_, static_cast<off_t>(size));
        while (rc != 0 && errno == EINTR);
        if (rc != 0) return osError(errno, "Zmena veľkosti súboru zlyhala");
        return Status::OK();
    }

    Status size(std::uint64_t* out) override {
        struct stat st;
        if (::fstat(fd_, &st) != 0) return osError(errno, "Zistenie veľkosti súboru zlyhalo");
        *out = static_cast<std::uint64_t>(st.st_size);
        return Status::OK();
    }

private:
    // The parts as the system takes them.
    template <class Part> static std::vector<iovec> listParts(std::span<const Part> parts) {
        std::vector<iovec> io;
        for (const Part& p : parts) io.push_back({const_cast<std::uint8_t*>(p.data()), p.size()});
        return io;
    }

    // Reads or writes the listed parts with `call` (preadv or pwritev), in
    // as many calls as it takes; empty parts take none.
    template <class Call> Status moveParts(std::uint64_t offset, std::vector<iovec> io, Call call, bool reading) {
        for (std::size_t first = 0;;) {
            while (first < io.size() && io[first].iov_len == 0) ++first;
            if (first == io.size()) return Status::OK();
            const int count = static_cast<int>(std::min<std::size_t>(io.size() - first, IOV_MAX));
            const ssize_t moved = call(fd_, &io[first], count, static_cast<off_t>(offset));
            if (moved < 0 && errno == EINTR) continue;
            if (moved < 0) return osError(errno, reading ? "Čítanie zo súboru zlyhalo" : "Zápis do súboru zlyhal");
            if (moved == 0) return reading ? shortRead() : osError(EIO, "Zápis do súboru zlyhal");
            offset += static_cast<std::uint64_t>(moved);
            // Past what was moved: whole parts, then the start of the next.
            for (auto left = static_cast<std::size_t>(moved); left > 0;) {
                iovec& part = io[first];
                const std::size_t step = std::min(left, part.iov_len);
                part.iov_base = static_cast<std::uint8_t*>(part.iov_base) + step;
                part.iov_len -= step;
                left -= step;
                if (part.iov_len == 0) ++first;
            }
        }
    }

    int fd_;
};

// Open-file-description locks conflict between two opens within one process
// too, and closing another descriptor of the same file does not drop them.
Status lockFile(int fd, FileLayer::Lock lock) {
    if (lock == FileLayer::Lock::None) return Status::OK();
    struct flock fl = {};
    fl.l_type = lock == FileLayer::Lock::Exclusive ? F_WRLCK : F_RDLCK;
    fl.l_whence = SEEK_SET;
    if (::fcntl(fd, F_OFD_SETLK, &fl) == 0) return Status::OK();
    int err = errno;
    if (err == EACCES || err == EAGAIN) return osError(EAGAIN, "");
    return osError(err, "");
}

int openFlags(FileLayer::Access access) {
    // O_NONBLOCK keeps a named pipe from hanging the open; it has no effect
    // on the regular files that pass the check below.
    int flags = O_CLOEXEC | O_NONBLOCK;
    switch (access) {
    case FileLayer::Access::Read: return flags | O_RDONLY;
    case FileLayer::Access::ReadWrite: return flags | O_RDWR;
    case FileLayer::Access::Create: return flags | O_RDWR | O_CREAT | O_TRUNC;
    }
    return flags;
}

std::string folderOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

class PosixFileLayer final : public FileLayer {
public:
    Status open(const std::string& path, Access access, Lock lock, std::unique_ptr<File>* out) override {
        int fd = ::open(path.c_str(), openFlags(access), 0644);
        if (fd < 0) return osError(errno, "");
        auto file = std::make_unique<PosixFile>(fd);
        struct stat st;
        if (::fstat(fd, &st) != 0) return osError(errno, "");
        if (S_ISDIR(st.st_mode)) return osError(EISDIR, "");
        if (!S_ISREG(st.st_mode)) return notRegularFile();
        JET_TRY(lockFile(fd, lock));
        *out = std::move(file);
        return Status::OK();
    }

    bool exists(const std::string& path) override {
        struct stat st;
        return ::lstat(path.c_str(), &st) == 0;
    }

    std::string realPath(const std::string& path) override {
        char* real = ::realpath(path.c_str(), nullptr);
        if (!real) return path;
        std::string out(real);
        ::free(real);
        return out;
    }

    Status remove(const std::string& path) override {
        if (::unlink(path.c_str()) != 0) return osError(errno, "Súbor sa nedá zmazať");
        return Status::OK();
    }

    Status rename(const std::string& from, const std::string& to) override {
        if (::rename(from.c_str(), to.c_str()) != 0) return osError(errno, "Súbor sa nedá premenovať");
        return Status::OK();
    }

    Status syncFolder(const std::string& path) override {
        int fd = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return osError(errno, "Priečinok sa nedá otvoriť");
        int rc = ::fsync(fd);
        int err = errno;
        ::close(fd);
        if (rc != 0) return osError(err, "Uloženie priečinka na disk zlyhalo");
        return Status::OK();
    }
};

} // namespace

std::shared_ptr<FileLayer> systemFileLayer() {
    static auto layer = std::make_shared<PosixFileLayer>();
    return layer;
}

} // namespace jet
