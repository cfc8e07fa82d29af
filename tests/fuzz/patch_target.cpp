// libFuzzer entry: every input is damage laid over a fixture database, which
// is read whole and then written to.
#include "tests/fuzz/fuzz_inputs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> file = fuzz::applyPatches(VELMORANT_TEST_DATA, data, size);
    if (fuzz::readWhole(file.data(), file.size()).open.ok())
        fuzz::appendCopy(VELMORANT_TEST_DATA, file.data(), file.size());
    return 0;
}
