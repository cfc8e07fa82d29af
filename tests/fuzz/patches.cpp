#include "tests/fuzz/patches.h"

#include <fstream>
#include <iterator>
#include <map>

#include "jet/io/pager.h"

namespace fuzz {
namespace {

const std::vector<std::uint8_t>& base(const std::string& path) {
    static std::map<std::string, std::vector<std::uint8_t>> loaded;
    auto it = loaded.find(path);
    if (it == loaded.end()) {
        std::ifstream in(path, std::ios::binary);
        it = loaded.emplace(path, std::vector<std::uint8_t>{std::istreambuf_iterator<char>(in), {}}).first;
    }
    return it->second;
}

} // namespace

std::vector<std::uint8_t> applyPatches(const std::string& dataDir, const std::uint8_t* data, std::size_t size) {
    if (size == 0) return {};
    std::vector<std::uint8_t> file = base(dataDir + (data[0] % 2 ? "/sample.mdb" : "/blank.mdb"));
    const std::size_t pages = file.size() / jet::kPageSize;
    if (pages == 0) return file;
    for (std::size_t at = 1; at + 5 <= size;) {
        std::size_t page = (data[at] | data[at + 1] << 8) % pages;
        std::size_t offset = (data[at + 2] | data[at + 3] << 8) % jet::kPageSize;
        std::size_t count = data[at + 4];
        at += 5;
        for (std::size_t i = 0; i < count && at < size; ++i, ++at) {
            std::size_t to = page * jet::kPageSize + offset + i;
            if (to < file.size()) file[to] = data[at];
        }
    }
    return file;
}

} // namespace fuzz
