#include "jet/io/file_layer.h"

#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <string>

namespace jet {

namespace {

// Paths come in as UTF-8; Windows takes them as UTF-16.
std::wstring widened(const std::string& path) {
    if (path.empty()) return {};
    int n = ::MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), out.data(), n);
    return out;
}

// The error Windows reports, in the words of the errno value it amounts to.
Status windowsError(DWORD err, const std::string& what) {
    switch (err) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME: return osError(ENOENT, what);
    case ERROR_ACCESS_DENIED: return osError(EACCES, what);
    case ERROR_WRITE_PROTECT: return osError(EROFS, what);
    // Another open's sharing mode or byte-range lock keeps this one out.
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return osError(EAGAIN, what);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return osError(ENOSPC, what);
    case ERROR_FILE_TOO_LARGE: return osError(EFBIG, what);
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_IO_DEVICE: return osError(EIO, what);
    case ERROR_TOO_MANY_OPEN_FILES: return osError(EMFILE, what);
    case ERROR_FILENAME_EXCED_RANGE: return osError(ENAMETOOLONG, what);
    default: return otherOsError(static_cast<long>(err), what);
    }
}

Status lastError(const std::string& what) { return windowsError(::GetLastError(), what); }

OVERLAPPED at(std::uint64_t offset) {
    OVERLAPPED o = {};
    o.Offset = static_cast<DWORD>(offset);
    o.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return o;
}

// ReadFile and WriteFile move at most a DWORD at a time.
constexpr std::size_t kMaxChunk = std::size_t{1} << 30;

class WindowsFile final : public File {
public:
    explicit WindowsFile(HANDLE h) : h_(h) {}
    ~WindowsFile() override { ::CloseHandle(h_); }

    Status read(std::uint64_t offset, void* buf, std::size_t n) override {
        auto* p = static_cast<char*>(buf);
        while (n > 0) {
            OVERLAPPED o = at(offset);
            DWORD got = 0;
            if (!::ReadFile(h_, p, static_cast<DWORD>(std::min(n, kMaxChunk)), &got, &o) &&
                ::GetLastError() != ERROR_HANDLE_EOF)
                return lastError("Čítanie zo súboru zlyhalo");
            if (got == 0) return shortRead();
            p += got;
            n -= got;
            offset += got;
        }
        return Status::OK();
    }

    Status write(std::uint64_t offset, const void* buf, std::size_t n) override {
        const auto* p = static_cast<const char*>(buf);
        while (n > 0) {
            OVERLAPPED o = at(offset);
            DWORD put = 0;
            if (!::WriteFile(h_, p, static_cast<DWORD>(std::min(n, kMaxChunk)), &put, &o))
                return lastError("Zápis do súboru zlyhal");
            p += put;
            n -= put;
            offset += put;
        }
        return Status::OK();
    }

    Status sync() override {
        if (!::FlushFileBuffers(h_)) return lastError("Uloženie súboru na disk zlyhalo");
        return Status::OK();
    }

    Status truncate(std::uint64_t size) override {
        FILE_END_OF_FILE_INFO end = {};
        end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
        if (!::SetFileInformationByHandle(h_, FileEndOfFileInfo, &end, sizeof end))
            return lastError("Zmena veľkosti súboru zlyhala");
        return Status::OK();
    }

    Status size(std::uint64_t* out) override {
        LARGE_INTEGER size;
        if (!::GetFileSizeEx(h_, &size)) return lastError("Zistenie veľkosti súboru zlyhalo");
        *out = static_cast<std::uint64_t>(size.QuadPart);
        return Status::OK();
    }

private:
    HANDLE h_;
};

// The lock is the sharing mode, which Windows enforces on every program,
// this one included. An exclusive open shares nothing; readers share reading
// only, so that nobody writes under them. Files opened without a lock (the
// journal) share everything, deletion included, so that a backup or virus
// scanner reading them never stops the journal from going.
DWORD sharingOf(FileLayer::Lock lock) {
    switch (lock) {
    case FileLayer::Lock::None: return FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    case FileLayer::Lock::Shared: return FILE_SHARE_READ;
    case FileLayer::Lock::Exclusive: return 0;
    }
    return 0;
}

bool isFolder(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

class WindowsFileLayer final : public FileLayer {
public:
    Status open(const std::string& path, Access access, Lock lock, std::unique_ptr<File>* out) override {
        const std::wstring wide = widened(path);
        DWORD rights = access == Access::Read ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
        DWORD disposition = access == Access::Create ? CREATE_ALWAYS : OPEN_EXISTING;
        HANDLE h =
            ::CreateFileW(wide.c_str(), rights, sharingOf(lock), nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            DWORD err = ::GetLastError();
            // A folder is refused as access denied.
            if (err == ERROR_ACCESS_DENIED && isFolder(wide)) return osError(EISDIR, "");
            return windowsError(err, "");
        }
        auto file = std::make_unique<WindowsFile>(h);
        if (::GetFileType(h) != FILE_TYPE_DISK) return notRegularFile();
        *out = std::move(file);
        return Status::OK();
    }

    bool exists(const std::string& path) override {
        return ::GetFileAttributesW(widened(path).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    // A file that someone else still has open lingers under its name after
    // DeleteFile until they close it, and a file of that name cannot be
    // created meanwhile. Moved aside first, the name is free at once.
    Status remove(const std::string& path) override {
        static std::atomic<unsigned> removals{0};
        const std::wstring wide = widened(path);
        const std::wstring aside =
            wide + L"." + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(removals++) + L".deleted";
        if (!::MoveFileExW(wide.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return lastError("Súbor sa nedá zmazať");
        // Once moved aside the file is as good as gone; should the deletion
        // itself fail, a stray file is left, never a stale journal.
        ::DeleteFileW(aside.c_str());
        return Status::OK();
    }

    // Without MOVEFILE_REPLACE_EXISTING an existing `to` is an error.
    Status rename(const std::string& from, const std::string& to) override {
        if (!::MoveFileExW(widened(from).c_str(), widened(to).c_str(), MOVEFILE_WRITE_THROUGH))
            return lastError("Súbor sa nedá premenovať");
        return Status::OK();
    }

    // Windows offers no flush of a folder; MOVEFILE_WRITE_THROUGH makes the
    // renames durable, and file systems journal their folders themselves.
    Status syncFolder(const std::string&) override { return Status::OK(); }
};

} // namespace

std::shared_ptr<FileLayer> systemFileLayer() {
    static auto layer = std::make_shared<WindowsFileLayer>();
    return layer;
}

} // namespace jet
