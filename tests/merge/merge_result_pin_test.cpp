// The result of one whole merge of two generated files, pinned: the step
// counts and a digest of the merged file's dump were recorded once, so that
// work on the speed of the merge cannot change what it writes. Should the
// generator's rows or their contents change on purpose, record the figures
// again.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "jet/check.h"
#include "jet/db/database_impl.h"
#include "jet/dump_json.h"
#include "merge/import_run.h"
#include "recording_ui.h"
#include "support/process.h"

namespace {

namespace fs = std::filesystem;

int generate(const fs::path& out, int seed, const fs::path& share = {}) {
    using test_files::quoted;
    std::string command =
        quoted(test_files::cliPath()) + " generate " + quoted(out) + " --seed " + std::to_string(seed) + " --scale 1";
    if (!share.empty()) command += " --share-identifiers-with " + quoted(share);
    return test_files::run(command).exit;
}

std::uint64_t fnv1a(const std::string& text) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char c : text) hash = (hash ^ c) * 0x100000001b3ull;
    return hash;
}

std::string dumpOf(const fs::path& file) {
    std::unique_ptr<jet::Database> db;
    jet::Status opened = jet::Database::open(file.string(), jet::Pager::Mode::ReadOnly, &db);
    EXPECT_TRUE(opened.ok()) << opened.message();
    if (!opened.ok()) return {};
    std::ostringstream out;
    EXPECT_TRUE(jet::writeDump(*db, out).ok());
    return out.str();
}

struct Counts {
    const char* table;
    int copied, skipped, refused;
};

// Recorded from the merge of seed 2 (sharing identifiers) into seed 1, scale 1.
const Counts kSteps[] = {
    {"zariadenia", 13, 7, 0},
    {"parametre_zariadeni", 2, 3, 0},
    {"casove_zony_zariadeni", 2, 3, 0},
    {"skupiny_majitelov_identifikatorov", 4, 0, 0},
    {"zvuky", 5, 0, 0},
    {"identifikatory", 98, 52, 0},
    {"pozadovane_identifikatory_v_skupinach", 98, 22, 0},
    {"pozadovane_identifikatory_priamo_na_zariadeniach", 167, 133, 0},
    {"dialkove_otvorenie_vyvolane_pouzitim_identifikatora", 1, 4, 0},
    {"dialkove_ovladanie_zariadeni", 3, 2, 0},
    {"hlasove_vyzvy", 6, 4, 0},
    {"mek_schranky", 3, 2, 0},
    {"obchodzky", 8, 2, 0},
    {"objednavaci_system", 5, 0, 0},
    {"pozadovane_casove_zony_identifikatorov_na_zariadeniach", 26, 14, 0},
    {"pozadovane_identifikatory_vo_vytahoch", 9, 11, 0},
    {"pozadovane_releidentifikatory_na_zariadeniach", 21, 19, 0},
    {"ref_obchodzky_zariadenia", 4, 1, 0},
    {"ref_objednavaci_system_identifikator", 5, 0, 0},
    {"ref_objednavaci_system_zariadenie", 2, 3, 0},
    {"ref_skupina_zariadenie", 2, 3, 0},
    {"downloadovane_casove_zony", 3, 2, 0},
    {"downloadovane_casove_zony_identifikatorov_na_zariadeniach", 68, 52, 0},
    {"downloadovane_identifikatory", 883, 617, 0},
    {"downloadovane_identifikatory_vo_vytahoch", 17, 23, 0},
    {"downloadovane_parametre_zariadeni", 3, 2, 0},
    {"downloadovane_releidentifikatory", 39, 21, 0},
};
constexpr std::uint64_t kTargetDump = 4860264562218907442ull;
constexpr std::uint64_t kMergedDump = 15480728916530429407ull;
constexpr std::size_t kMergedDumpSize = 1122993;

TEST(MergeResultPin, GeneratedScaleOneMergeWritesTheRecordedRows) {
    if (!fs::exists(test_files::cliPath())) GTEST_SKIP() << "velmorant-cli not built";
    const fs::path dir = fs::temp_directory_path() / "merge-result-pin";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path target = dir / "target.mdb", source = dir / "source.mdb";
    ASSERT_EQ(generate(target, 1), 0);
    ASSERT_EQ(generate(source, 2, target), 0);
    // The generator itself is pinned too, or a change there would pass for one here.
    ASSERT_EQ(fnv1a(dumpOf(target)), kTargetDump);

    merge::KeyMaps maps;
    merge::testing::RecordingUi ui;
    merge::ImportResult result = merge::ImportDatabase(target.string(), source.string(), maps, ui);
    ASSERT_TRUE(result.succeeded) << result.outcome;
    ASSERT_EQ(result.steps.size(), std::size(kSteps));
    for (std::size_t i = 0; i < result.steps.size(); ++i) {
        const merge::StepCounts& got = result.steps[i];
        EXPECT_EQ(got.table, kSteps[i].table);
        EXPECT_EQ(got.copied, kSteps[i].copied) << got.table;
        EXPECT_EQ(got.skipped, kSteps[i].skipped) << got.table;
        EXPECT_EQ(got.refused, kSteps[i].refused) << got.table;
    }

    const std::string dump = dumpOf(target);
    EXPECT_EQ(dump.size(), kMergedDumpSize);
    EXPECT_EQ(fnv1a(dump), kMergedDump);
    jet::CheckReport report;
    ASSERT_TRUE(jet::checkFile(target.string(), &report).ok());
    EXPECT_TRUE(report.ok()) << report.problems.front();
    fs::remove_all(dir);
}

} // namespace
