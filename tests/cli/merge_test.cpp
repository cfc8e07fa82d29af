// velmorant-cli merge, run as a program. The counts of every step, and a
// trial run against the real one, are checked against the plan by the
// whole-merge tests.
#include <gtest/gtest.h>

#include "jet/database.h"
#include "support/merge_fixture.h"
#include "support/process.h"

namespace {

// Losses without a refused row are no success either: a value the target's
// column cannot hold (the field left empty), then a source table missing
// (named; the rows of the other steps are kept).
TEST(CliMerge, EmptiedFieldsOrAMissingSourceTableAreNoSuccess) {
    test_files::ScratchDir dir("merge-cli");
    merge::testing::MdbFile source(dir / "dlhé.mdb");
    source.insert("zariadenia", {{"id_zariadenia", merge::testing::I(1)},
                                 {"typ_zariadenia", merge::testing::I(1)},
                                 {"kontaktna_osoba", jet::Value(std::u16string(u"Jozef Mrkvička"))}});
    const auto target = dir.copy(test_files::testData("narrow.mdb"), "narrow.mdb");
    const std::string pair =
        "merge " + test_files::quoted(target) + " " + test_files::quoted(source.path()) + " --yes --json";
    source.close();
    const test_files::ProgramRun emptied = test_files::cli(pair);
    source.renameTable("hlasove_vyzvy", "hlasove_vyzvx");
    const test_files::ProgramRun unread = test_files::cli(pair);
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
