// velmorant-cli merge, run as a program. The counts of every step are
// checked against the plan by the whole-merge tests.
#include <gtest/gtest.h>

#include <filesystem>

#include "fixture.h"
#include "jet/database.h"
#include "support/process.h"

namespace {

namespace fs = std::filesystem;
using test_files::readAll;

class CliMerge : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(test_files::cliPath())) GTEST_SKIP() << "velmorant-cli not built";
        for (const char* f : {"blank.mdb", "sample.mdb"}) dir_.copy(test_files::testData(f), f);
    }
    test_files::ProgramRun merge(const std::string& arguments, const std::string& input = "") {
        return test_files::cli("merge " + arguments, input);
    }
    std::string file(const char* name) { return test_files::quoted(dir_ / name); }
    test_files::ScratchDir dir_{"merge-cli"};
};

// A trial run prints what the real run prints and leaves the target as it
// was. Two patrol relations of one device whose patrol rounds are missing
// both become (0, device): the second is refused.
TEST_F(CliMerge, DryRunPrintsTheRealRunAndLeavesTheTargetAsItWas) {
    const fs::path target = dir_.path() / "blank.mdb";
    const std::vector<std::uint8_t> before = readAll(target);
    const std::string pair = file("blank.mdb") + " " + file("sample.mdb");
    const test_files::ProgramRun trial = merge(pair + " --dry-run");
    EXPECT_EQ(readAll(target), before);
    EXPECT_NE(trial.err.find("Skúšobný beh"), std::string::npos) << trial.err;

    const test_files::ProgramRun real = merge(pair, "A\n"); // a capital answer as well
    EXPECT_NE(readAll(target), before);
    EXPECT_EQ(real.exit, 1);
    EXPECT_EQ(trial.exit, real.exit);
    std::string answered = real.out; // the prompt aside, as a trial run needs no consent
    if (std::size_t at = answered.find("(a/n) "); at != std::string::npos) answered.erase(at, 6);
    EXPECT_EQ(trial.out, answered);
    EXPECT_NE(real.out.find("\nzariadenia copied=23 skipped=7 refused=0\n"), std::string::npos) << real.out;
    EXPECT_NE(real.out.find("odmietol niektoré riadky:\nref_obchodzky_zariadenia: 1\n"), std::string::npos);

    const test_files::ProgramRun missing = merge(file("blank.mdb") + " " + file("none.mdb") + " --yes");
    EXPECT_EQ(missing.exit, 1);
    EXPECT_NE(missing.err.find("Neexistuje súbor ktorý má byť importovaný"), std::string::npos) << missing.err;
}

// A source that may only be read (its read-only attribute on Windows) is
// merged, and keeps its bytes. Being only read, it may be read elsewhere
// meanwhile.
TEST_F(CliMerge, ReadOnlySourceMergesAndKeepsItsBytes) {
    const fs::path source = dir_.path() / "sample.mdb";
    const std::vector<std::uint8_t> before = readAll(source);
    fs::permissions(source, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    test_files::HeldElsewhere reader(test_files::utf8(source), true);
    ASSERT_TRUE(reader.held());
    const test_files::ProgramRun run = merge(file("blank.mdb") + " " + file("sample.mdb") + " --yes");
    EXPECT_NE(run.out.find("\nzariadenia copied=23 skipped=7 refused=0\n"), std::string::npos) << run.out << run.err;
    EXPECT_EQ(readAll(source), before);
}

// Losses without a refused row are no success either: a value the target's
// column cannot hold (the field left empty), then a source table missing
// (named; the rows of the other steps are kept).
TEST_F(CliMerge, EmptiedFieldsOrAMissingSourceTableAreNoSuccess) {
    merge::testing::MdbFile source(dir_.path() / "dlhé.mdb");
    source.insert("zariadenia", {{"id_zariadenia", merge::testing::I(1)},
                                 {"typ_zariadenia", merge::testing::I(1)},
                                 {"kontaktna_osoba", jet::Value(std::u16string(u"Jozef Mrkvička"))}});
    const fs::path target = dir_.copy(test_files::testData("narrow.mdb"), "narrow.mdb");
    const std::string pair = file("narrow.mdb") + " " + test_files::quoted(source.path()) + " --yes --json";
    source.close();
    const test_files::ProgramRun emptied = merge(pair);
    source.renameTable("hlasove_vyzvy", "hlasove_vyzvx");
    const test_files::ProgramRun unread = merge(pair);
    const std::string device = "{\"table\": \"zariadenia\", \"copied\": 1, \"skipped\": 0, \"refused\": 0}",
                      column = "\n  {\"table\": \"zariadenia\", \"column\": \"kontaktna_osoba\", \"count\": 1}]";
    for (const auto& [run, part] :
         {std::pair{&emptied, device},
          {&emptied, "\"emptied\": [" + column},
          {&emptied, "\"unreadable\": [],\n \"outcome\": \"Import bol dokončený, ale cieľový súbor neprijal"},
          {&emptied, "\"succeeded\": false}"},
          {&unread, device},
          {&unread, "\"unreadable\": [\n  {\"table\": \"hlasove_vyzvy\", \"reason\": \"tabuľka chýba\"}]"},
          {&unread, "\"outcome\": \"Import bol dokončený, ale zo zdrojového súboru sa nedali prečítať niektoré tabuľky:"
                    "\\nhlasove_vyzvy: tabuľka chýba\\nCieľový súbor neprijal niektoré hodnoty; tieto polia zostali "
                    "prázdne:\\nzariadenia.kontaktna_osoba: 1\", \"succeeded\": false}"}}) {
        EXPECT_EQ(run->exit, 1) << run->err;
        EXPECT_NE(run->out.find(part), std::string::npos) << part << "\n" << run->out;
    }
    std::unique_ptr<jet::Database> merged;
    std::unique_ptr<jet::Table> devices;
    ASSERT_TRUE(jet::Database::open(test_files::utf8(target), jet::OpenMode::ReadOnly, &merged).ok());
    ASSERT_TRUE(merged->openTable("zariadenia", &devices).ok());
    jet::Table::Cursor rows(*devices);
    int count = 0;
    for (bool hasRow = true; rows.next(&hasRow).ok() && hasRow;) ++count;
    EXPECT_EQ(count, 2); // one device from each run
}

} // namespace
