#include "jet/io/file_layer.h"

#include <algorithm>
#include <cerrno>

namespace jet {

namespace {

using Code = Status::Code;

Code codeOf(int err) {
    switch (err) {
    case ENOENT:
    case ENOTDIR: return Code::NotFound;
    case EACCES:
    case EPERM:
    case EROFS: return Code::AccessDenied;
    case EAGAIN: return Code::Locked;
    case EISDIR: return Code::NotJet;
    case EFBIG: return Code::TooLarge;
    default: return Code::IoError;
    }
}

std::string otherReason(long code) { return "Chyba operačného systému (kód " + std::to_string(code) + ")."; }

std::string reasonOf(int err) {
    switch (err) {
    case ENOENT:
    case ENOTDIR: return "Súbor neexistuje.";
    case EACCES:
    case EPERM: return "Prístup k súboru bol odmietnutý.";
    case EROFS: return "Súbor leží na médiu, na ktoré sa nedá zapisovať.";
    case EAGAIN: return "Súbor je otvorený iným programom.";
    case EISDIR: return "Cesta vedie k priečinku, nie k súboru.";
    case ENOSPC: return "Na disku nie je dosť miesta.";
#ifdef EDQUOT // not on Windows
    case EDQUOT: return "Bola prekročená kvóta disku.";
#endif
    case EFBIG: return "Súbor by bol väčší, než systém dovoľuje.";
    case EIO: return "Chyba vstupu a výstupu na disku.";
    case EMFILE:
    case ENFILE: return "Je otvorených príliš veľa súborov.";
    case ENAMETOOLONG: return "Cesta k súboru je príliš dlhá.";
    default: return otherReason(err);
    }
}

std::string joined(const std::string& what, const std::string& reason) {
    return what.empty() ? reason : what + ". " + reason;
}

} // namespace

Status osError(int err, const std::string& what) { return Status::error(codeOf(err), joined(what, reasonOf(err))); }

Status otherOsError(long code, const std::string& what) {
    return Status::error(Status::Code::IoError, joined(what, otherReason(code)));
}

Status notRegularFile() { return Status::error(Status::Code::NotJet, "Cesta nevedie k bežnému súboru."); }

Status shortRead() { return Status::error(Status::Code::Corrupt, "Súbor je kratší, než by mal byť."); }

Status File::readParts(std::uint64_t offset, std::span<const std::span<std::uint8_t>> parts) {
    if (parts.size() == 1) return read(offset, parts[0].data(), parts[0].size());
    std::size_t n = 0;
    for (std::span<std::uint8_t> p : parts) n += p.size();
    joined_.resize(n);
    JET_TRY(read(offset, joined_.data(), n));
    const std::uint8_t* from = joined_.data();
    for (std::span<std::uint8_t> p : parts) {
        std::copy_n(from, p.size(), p.begin());
        from += p.size();
    }
    return Status::OK();
}

Status File::writeParts(std::uint64_t offset, std::span<const ByteSpan> parts) {
    if (parts.size() == 1) return write(offset, parts[0].data(), parts[0].size());
    joined_.clear();
    for (ByteSpan p : parts) joined_.insert(joined_.end(), p.begin(), p.end());
    return write(offset, joined_.data(), joined_.size());
}

} // namespace jet
