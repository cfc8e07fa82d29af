// Files for tests: scratch folders, fixtures, whole-file reads and writes,
// and the Access-written samples.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace test_files {

namespace fs = std::filesystem;

inline fs::path testData(const std::string& name) { return fs::path(VELMORANT_TEST_DATA) / name; }

// A fresh folder below the system's temporary folder, removed with the
// object (read-only leftovers included).
class ScratchDir {
public:
    explicit ScratchDir(const std::string& prefix = "velmorant") {
        std::random_device random;
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            const fs::path p = fs::temp_directory_path() / (prefix + "-" + std::to_string(random()));
            std::error_code ec;
            if (fs::create_directory(p, ec)) path_ = p;
        }
        if (path_.empty()) ADD_FAILURE() << "cannot create a folder for " << prefix;
    }
    ~ScratchDir() {
        std::error_code ec;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    const fs::path& path() const { return path_; }
    fs::path operator/(const std::string& name) const { return path_ / name; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    // Copies `source` into the folder as `name` and returns the copy's path.
    fs::path copy(const fs::path& source, const std::string& name) const {
        const fs::path to = path_ / name;
        std::error_code ec;
        fs::copy_file(source, to, fs::copy_options::overwrite_existing, ec);
        EXPECT_FALSE(ec) << source << ": " << ec.message();
        return to;
    }

private:
    fs::path path_;
};

// Paths as the engine takes them, in UTF-8, and back; std::string alone
// would be the system's code page on Windows.
inline std::string utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}
inline fs::path pathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

inline std::vector<std::uint8_t> readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void writeAll(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The .mdb files of a folder, sorted; empty when there is no such folder.
inline std::vector<fs::path> mdbFilesIn(const fs::path& dir) {
    std::vector<fs::path> out;
    if (fs::is_directory(dir))
        for (const auto& e : fs::directory_iterator(dir))
            if (e.path().extension() == ".mdb") out.push_back(e.path());
    std::sort(out.begin(), out.end());
    return out;
}

// The Access-written samples in Jet 4 format (header byte 0x14 is 0 for
// Jet 3), sorted; empty when the samples are not there.
inline std::vector<fs::path> jet4Samples() {
    std::vector<fs::path> out;
    for (const fs::path& p : mdbFilesIn(VELMORANT_JET_SAMPLES)) {
        std::ifstream f(p, std::ios::binary);
        char header[0x15] = {};
        f.read(header, sizeof header);
        if (header[0x14] != 0) out.push_back(p);
    }
    return out;
}

} // namespace test_files
