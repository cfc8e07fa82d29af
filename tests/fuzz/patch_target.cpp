// libFuzzer entry: every input is damage laid over a fixture database, which
// is read whole and then written to.
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/append_copy.h"
#include "tests/fuzz/patches.h"
#include "tests/fuzz/read_whole.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> file = fuzz::applyPatches(VELMORANT_TEST_DATA, data, size);
    if (fuzz::readWhole(file.data(), file.size()).open) fuzz::appendCopy(VELMORANT_TEST_DATA, file.data(), file.size());
    return 0;
}
