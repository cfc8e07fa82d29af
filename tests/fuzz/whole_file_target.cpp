// libFuzzer entry: every input is a database file.
#include "tests/fuzz/fuzz_inputs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::readWhole(data, size);
    return 0;
}
