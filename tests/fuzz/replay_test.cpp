// Every input the fuzzers once found at fault is read again as a database
// (a .patch file is laid over its fixture first) and written to in a copy:
// it must end in a sound Status (or a clean check), never in a crash, a hang
// or a runaway allocation. Run under the sanitizers, this also catches the
// out-of-bounds reads that a normal build survives by luck.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/fuzz/append_copy.h"
#include "tests/fuzz/patches.h"
#include "tests/fuzz/read_whole.h"

namespace fuzz {
namespace {

namespace fs = std::filesystem;
using Code = jet::Status::Code;

bool isFileDamage(Code code) {
    return code == Code::NotJet || code == Code::Unsupported || code == Code::Corrupt || code == Code::TooLarge ||
           code == Code::AccessDenied;
}

void expectSound(const jet::Status& st, const std::string& what) {
    if (st.ok()) return;
    EXPECT_TRUE(isFileDamage(st.code())) << what << ": " << st.message();
    EXPECT_FALSE(st.message().empty()) << what;
    EXPECT_EQ(st.message().find('\n'), std::string::npos) << what << ": " << st.message();
}

std::vector<fs::path> findings() {
    std::vector<fs::path> out;
    fs::path dir = fs::path(VELMORANT_TEST_DATA) / "fuzz";
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.is_regular_file()) out.push_back(entry.path());
    std::sort(out.begin(), out.end());
    return out;
}

TEST(FuzzReplay, EveryFindingEndsInASoundStatus) {
    std::vector<fs::path> inputs = findings();
    ASSERT_FALSE(inputs.empty());
    for (const fs::path& path : inputs) {
        std::ifstream in(path, std::ios::binary);
        std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        if (path.extension() == ".patch") bytes = applyPatches(VELMORANT_TEST_DATA, bytes.data(), bytes.size());
        std::string name = path.filename().string();
        Outcome out = readWhole(bytes.data(), bytes.size());
        expectSound(out.open, name + " open");
        expectSound(out.dump, name + " dump");
        expectSound(out.check, name + " check");
        for (const std::string& problem : out.report.problems)
            EXPECT_EQ(problem.find('\n'), std::string::npos) << name << ": " << problem;
        if (out.open.ok()) {
            AppendOutcome appended = appendCopy(VELMORANT_TEST_DATA, bytes.data(), bytes.size());
            expectSound(appended.open, name + " open for writing");
            expectSound(appended.append, name + " append");
            expectSound(appended.end, name + " commit");
            expectSound(appended.check, name + " check after appending");
        }
        std::printf("%s: %s\n", name.c_str(),
                    !out.open.ok()    ? out.open.message().c_str()
                    : !out.dump.ok()  ? out.dump.message().c_str()
                    : !out.check.ok() ? out.check.message().c_str()
                    : out.report.ok() ? "readable, no problems"
                                      : out.report.problems.front().c_str());
    }
}

} // namespace
} // namespace fuzz
