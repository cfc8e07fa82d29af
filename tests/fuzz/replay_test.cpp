// Every input the fuzzers once found at fault is read again as a database
// (a .patch file is laid over its fixture first) and written to in a copy:
// it must end in a sound Status (or a clean check), never in a crash, a hang
// or a runaway allocation. Run under the sanitizers, this also catches the
// out-of-bounds reads that a normal build survives by luck.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "support/files.h"
#include "tests/fuzz/fuzz_inputs.h"

namespace fuzz {
namespace {

using Code = jet::Status::Code;

void expectSound(const jet::Status& st, const std::string& what) {
    if (st.ok()) return;
    static const std::set<Code> damage = {Code::NotJet, Code::Unsupported, Code::Corrupt, Code::TooLarge,
                                          Code::AccessDenied};
    EXPECT_TRUE(damage.count(st.code())) << what << ": " << st.message();
    EXPECT_FALSE(st.message().empty()) << what;
    EXPECT_EQ(st.message().find('\n'), std::string::npos) << what << ": " << st.message();
}

TEST(FuzzReplay, EveryFindingEndsInASoundStatus) {
    std::set<std::filesystem::path> inputs;
    for (const auto& entry : std::filesystem::directory_iterator(test_files::testData("fuzz")))
        if (entry.is_regular_file()) inputs.insert(entry.path());
    ASSERT_FALSE(inputs.empty());
    for (const auto& path : inputs) {
        std::vector<std::uint8_t> bytes = test_files::readAll(path);
        if (path.extension() == ".patch") bytes = applyPatches(VELMORANT_TEST_DATA, bytes.data(), bytes.size());
        const std::string name = path.filename().string();
        const Outcome out = readWhole(bytes.data(), bytes.size());
        expectSound(out.open, name + " open");
        expectSound(out.dump, name + " dump");
        expectSound(out.check, name + " check");
        for (const std::string& problem : out.report.problems)
            EXPECT_EQ(problem.find('\n'), std::string::npos) << name << ": " << problem;
        if (!out.open.ok()) continue;
        const AppendOutcome appended = appendCopy(VELMORANT_TEST_DATA, bytes.data(), bytes.size());
        expectSound(appended.open, name + " open for writing");
        expectSound(appended.append, name + " append");
        expectSound(appended.end, name + " commit");
        expectSound(appended.check, name + " check after appending");
    }
}

} // namespace
} // namespace fuzz
