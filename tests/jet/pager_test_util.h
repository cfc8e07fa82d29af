// Helpers shared by the page-file tests: a scratch folder and whole-file I/O.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

#include "jet/pager.h"

namespace jet::testing {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class ScratchDir {
public:
    ScratchDir() {
        std::string tmpl = (fs::temp_directory_path() / "pager-XXXXXX").string();
        path_ = ::mkdtemp(tmpl.data());
    }
    ~ScratchDir() {
        std::error_code ec;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

inline Bytes readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void writeAll(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A file of `pages` pages, each filled with a pattern derived from its number.
inline std::uint8_t syntheticByte(std::size_t at, std::uint8_t salt) {
    return static_cast<std::uint8_t>((at / kPageSize) * 31 + at % 251 + salt);
}
inline Bytes syntheticFile(std::uint32_t pages, std::uint8_t salt = 0) {
    Bytes bytes(std::size_t{pages} * kPageSize);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = syntheticByte(i, salt);
    return bytes;
}

inline Page pageFilled(std::uint8_t value) {
    Page page;
    page.bytes.fill(value);
    return page;
}

inline Bytes pageBytes(const Bytes& file, std::uint32_t pgno) {
    auto at = file.begin() + static_cast<std::ptrdiff_t>(std::size_t{pgno} * kPageSize);
    return Bytes(at, at + kPageSize);
}

inline Bytes pageBytes(const PageRef& page) {
    return Bytes(page->bytes.begin(), page->bytes.end());
}

inline std::string blankMdb() { return std::string(VELMORANT_TEST_DATA) + "/blank.mdb"; }

} // namespace jet::testing
