// velmorant-cli as a user runs it: output on standard output, messages on
// standard error, and the exit status 0 / 1 / 2.
#include <gtest/gtest.h>

#include "support/process.h"

namespace {

using test_files::cli;
using test_files::ProgramRun;

const std::string kData = VELMORANT_TEST_DATA;

} // namespace

TEST(Cli, FileProblemsExitWithOne) {
    for (const char* command : {"dump", "check"}) {
        ProgramRun r = cli(std::string(command) + " " + kData + "/missing.mdb");
        EXPECT_EQ(r.exit, 1) << command;
        EXPECT_NE(r.err, "") << command;
        r = cli(std::string(command) + " " + kData + "/schema.txt");
        EXPECT_EQ(r.exit, 1) << command;
        EXPECT_NE(r.err.find("schema.txt"), std::string::npos) << command << ": " << r.err;
    }
    // A file that opens but has a damaged page: check finds it.
    test_files::ScratchDir dir;
    auto bytes = test_files::readAll(kData + "/sample.mdb");
    std::fill(bytes.begin() + 40 * 4096, bytes.begin() + 41 * 4096, 0x5A);
    test_files::writeAll(dir.file("damaged.mdb"), bytes);
    EXPECT_EQ(cli("check " + dir.file("damaged.mdb")).exit, 1);
}

// A file beside the database that is not its log: check says so on standard
// error, reads the database as it is and changes nothing; a merge says so
// before its question and sets the file aside.
TEST(Cli, ALogThatDoesNotFitIsToldOfAndLeftByReaders) {
    test_files::ScratchDir dir;
    const std::string db = test_files::utf8(dir.copy(kData + "/blank.mdb", "t.mdb")), log = db + "-wal";
    const std::vector<std::uint8_t> text = {'n', 'i', 'c'};
    test_files::writeAll(test_files::pathOf(log), text);
    const ProgramRun r = cli("check " + test_files::quoted(test_files::pathOf(db)));
    EXPECT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(r.err.rfind("Pomocný súbor " + log + " sa nedá použiť pre databázu " + db +
                              ": nie je to pomocný súbor tohto programu. Nebol použitý a databáza sa číta tak, ako je",
                          0),
              0u)
        << r.err;
    EXPECT_TRUE(test_files::readAll(test_files::pathOf(log)) == text);
    const ProgramRun merge = cli("merge " + test_files::quoted(test_files::pathOf(db)) + " " +
                                     test_files::quoted(dir.copy(kData + "/sample.mdb", "s.mdb")),
                                 "n\n");
    EXPECT_NE(merge.err.find("premenovaný na " + log + ".nepatri-"), std::string::npos) << merge.err;
    EXPECT_FALSE(std::filesystem::exists(test_files::pathOf(log)));
}

TEST(Cli, WrongUsageExitsWithTwo) {
    for (const char* args : {"", "dump", "dump a.mdb b.mdb", "check", "check a.mdb b.mdb", "frobnicate x.mdb",
                             "merge a.mdb", "merge a.mdb b.mdb c.mdb"})
        EXPECT_EQ(cli(args).exit, 2) << args;
    ProgramRun help = cli("--help");
    EXPECT_EQ(help.exit, 0);
    EXPECT_NE(help.out.find("dump"), std::string::npos);
}

// The question of a merge takes "a", "á", "ano" or "áno" in either case for
// yes, anything else for no.
TEST(Cli, MergeAnsweredYesInSlovak) {
    test_files::ScratchDir dir;
    const std::string files = test_files::quoted(dir.copy(kData + "/sample.mdb", "ciel.mdb")) + " " +
                              test_files::quoted(dir.copy(kData + "/blank.mdb", "zdroj.mdb"));
    const std::pair<const char*, bool> answers[] = {
        {"n\n", false}, {"nie\n", false}, {"anoo\n", false}, {"", false},         {"A\n", true},
        {"á\n", true},  {"Á\n", true},    {"ano\n", true},   {" ÁNO \r\n", true}, {"áNo\n", true}};
    for (const auto& [answer, yes] : answers) {
        const ProgramRun r = cli("merge " + files, answer);
        EXPECT_EQ(r.exit, yes ? 0 : 1) << answer << r.err;
        const std::string outcome = yes ? "Import bol úspešný\n" : "Nebola žiadosť o importovanie\n";
        EXPECT_NE(r.out.find(outcome), std::string::npos) << answer << r.out;
    }
}
