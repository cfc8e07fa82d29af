// Whole merges with damaged or foreign files and with leftover logs: every
// run ends in its proper message and the target keeps its bytes.
#include <gtest/gtest.h>

#include <cstring>

#include "jet/check.h"
#include "jet/io/wal.h"
#include "merge/import_run.h"
#include "support/fault_file_layer.h"
#include "support/recording_ui.h"
#include "support/files.h"

namespace hostile {
namespace {

namespace fs = std::filesystem;
using jet::Bytes;
using test_files::readAll;
using test_files::writeAll;

Bytes fixture(const std::string& name) { return readAll(test_files::testData(name)); }

Bytes prefix(Bytes bytes, std::size_t n) {
    bytes.resize(n);
    return bytes;
}

// The empty database's header page under another version byte and name.
Bytes withHeader(std::uint8_t version, const char* engineName, std::size_t size) {
    Bytes bytes = prefix(fixture("blank.mdb"), size);
    std::copy(engineName, engineName + std::strlen(engineName), bytes.begin() + 4);
    bytes[0x14] = version;
    return bytes;
}

// A Jet 3 file: 2 KiB pages, so its size need not be whole 4 KiB pages.
Bytes jet3(std::size_t pages2k) { return withHeader(0x00, "Standard Jet DB", pages2k * 2048); }
Bytes ace() { return withHeader(0x02, "Standard ACE DB", 16 * 4096); }

Bytes text() {
    std::string many;
    while (many.size() < 9000) many += "Toto je obyčajný text, nie databáza.\r\n";
    return Bytes(many.begin(), many.end());
}

using merge::ImportResult;
using merge::testing::RecordingUi;

const std::string kOpenFailure = "Nie je možné otvoriť súbor\r\n";

class HostileMerge : public ::testing::Test {
protected:
    fs::path place(const std::string& name, const Bytes& bytes) {
        fs::path path = dir_ / test_files::pathOf(name);
        fs::create_directories(path.parent_path());
        writeAll(path, bytes);
        return path;
    }
    ImportResult run(const fs::path& target, const fs::path& source, RecordingUi* ui = nullptr) {
        RecordingUi own;
        return merge::ImportDatabase(target.string(), source.string(), maps_, ui ? *ui : own);
    }

    test_files::ScratchDir scratch_{"hostile-merge"};
    const fs::path dir_ = scratch_.path();
    merge::KeyMaps maps_;
};

bool hasLog(const fs::path& file) { return fs::exists(jet::logPathOf(file.string())); }

void expectOpenFailure(const ImportResult& result, const fs::path& path, const std::string& name, const char* says) {
    const std::string head = kOpenFailure + path.string() + "\r\n";
    EXPECT_EQ(result.outcome.rfind(head, 0), 0u) << name << ": " << result.outcome;
    std::string description = result.outcome.substr(std::min(head.size(), result.outcome.size()));
    EXPECT_FALSE(description.empty()) << name;
    EXPECT_NE(description.find(says), std::string::npos) << name << ": " << description;
    EXPECT_EQ(description.find('\n'), std::string::npos) << name << ": " << description;
    EXPECT_EQ(result.outcomeFlags, merge::mb::Exclamation) << name;
    EXPECT_TRUE(result.steps.empty()) << name;
}

struct Damaged {
    std::string name;
    Bytes bytes;
    const char* says; // part of the message
};

std::vector<Damaged> damagedFiles() {
    const Bytes blank = fixture("blank.mdb");
    Bytes encrypted = fixture("sample.mdb");
    encrypted[0x3E] ^= 0x01; // the key lies in the masked region
    std::vector<Damaged> files = {
        {"empty", {}, "prázdny"},
        {"zeros", Bytes(8 * 4096, 0), "nie je databáza Jet"},
        {"text", text(), "nie je databáza Jet"},
        {"cut mid-page", prefix(blank, 10000), "10000"},
        {"header page only", prefix(blank, 4096), "4096"},
        {"cut after the catalogue", prefix(blank, 8 * 4096), "za koncom"},
        {"Jet 3, odd 2 KiB pages", jet3(7), "Jet 3"},
        {"Jet 3, even 2 KiB pages", jet3(8), "Jet 3"},
        {"Jet 3, one 2 KiB page", jet3(1), "Jet 3"},
        {"ACE", ace(), "ACE"},
        {"encrypted", encrypted, "šifrovaná"},
        {"unknown version", withHeader(0x07, "Standard Jet DB", 16 * 4096), "neznámej verzie"},
    };
    const fs::path sample = fs::path(VELMORANT_JET_SAMPLES) / "testV1997.mdb";
    if (fs::exists(sample)) files.push_back({"Jet 3 written by Access", readAll(sample), "Jet 3"});
    else std::printf("Access-written Jet 3 sample absent (%s): that case is left out\n", sample.c_str());
    return files;
}

// Opening a damaged or foreign file fails before the question is asked,
// whichever side of the merge it is on.
TEST_F(HostileMerge, DamagedOrForeignFileOnEitherSideFailsToOpen) {
    Bytes blank = fixture("blank.mdb"), sample = fixture("sample.mdb");
    for (const auto& [name, bytes, says] : damagedFiles()) {
        for (bool asTarget : {true, false}) {
            fs::path bad = place("bad.mdb", bytes);
            fs::path good = place("good.mdb", asTarget ? sample : blank);
            RecordingUi ui;
            ImportResult result = asTarget ? run(bad, good, &ui) : run(good, bad, &ui);
            expectOpenFailure(result, bad, name + (asTarget ? " as target" : " as source"), says);
            EXPECT_TRUE(ui.messages.empty()) << name; // no question
            EXPECT_TRUE(readAll(bad) == bytes) << name;
            EXPECT_TRUE(readAll(good) == (asTarget ? sample : blank)) << name;
            EXPECT_FALSE(hasLog(bad) || hasLog(good)) << name;
        }
    }
}

// A run of the engine that changed `before` into `after`, stopped once it
// had added its pages (not committed) or once it had copied its pages into
// place (committed): what it leaves on the disk, the file and its log.
std::pair<Bytes, Bytes> stoppedRun(const Bytes& before, const Bytes& after, bool committed) {
    const std::string path = "/disk/db.mdb", log = jet::logPathOf(path);
    constexpr std::size_t P = jet::kPageSize;
    auto disk = std::make_shared<jet::FaultFileLayer>();
    disk->put(path, before);
    std::unique_ptr<jet::File> file;
    std::unique_ptr<jet::WriteAheadLog> wal;
    EXPECT_TRUE(disk->open(path, jet::FileLayer::Access::ReadWrite, jet::FileLayer::Lock::None, &file).ok());
    const auto pages = static_cast<std::uint32_t>(before.size() / P),
               newPages = static_cast<std::uint32_t>(after.size() / P);
    EXPECT_TRUE(jet::WriteAheadLog::create(*disk, log, *file, pages, &wal).ok());
    std::vector<jet::Page> content(newPages);
    std::vector<jet::WriteAheadLog::Entry> changed, added;
    for (std::uint32_t pgno = 0; pgno < newPages; ++pgno) {
        std::copy_n(after.begin() + std::ptrdiff_t{pgno} * P, P, content[pgno].bytes.begin());
        if (pgno >= pages) added.push_back({pgno, &content[pgno]});
        else if (!std::equal(content[pgno].bytes.begin(), content[pgno].bytes.end(), before.begin() + pgno * P))
            changed.push_back({pgno, &content[pgno]});
    }
    EXPECT_TRUE(wal->write(changed).ok() && wal->writeAdded(added).ok());
    EXPECT_TRUE(file->write(before.size(), after.data() + before.size(), after.size() - before.size()).ok());
    if (committed) {
        EXPECT_TRUE(wal->commit(newPages).ok() && wal->copyInto(*file).ok());
    }
    return {*disk->content(path), *disk->content(log)};
}

class LeftoverLogs : public HostileMerge {
protected:
    void SetUp() override {
        // A merge of the sample into the empty database, as the file the
        // leftovers belong to.
        const fs::path target = place("merged.mdb", blank_);
        ASSERT_EQ(run(target, place("sample.mdb", sample_)).steps.size(), 27u);
        merged_ = readAll(target);
    }

    // Runs a merge of `file` (with the leftover beside it) and the sample,
    // `file` as the target or the source; the answer to the question is no.
    RecordingUi refusedRun(const fs::path& file, bool asTarget) {
        RecordingUi ui;
        ui.answer = merge::mb::ResultNo;
        const fs::path other = place("other.mdb", sample_);
        asTarget ? run(file, other, &ui) : run(other, file, &ui);
        EXPECT_TRUE(readAll(other) == sample_);
        return ui;
    }

    const Bytes blank_ = fixture("blank.mdb"), sample_ = fixture("sample.mdb");
    Bytes merged_;
};

// A log beside either file of a merge that does not fit it: another program
// wrote to the file after the crash, a backup was put back, the log belongs
// to another database, or it was damaged after its copy had finished. The
// run says so before its question and changes no byte of either file; the
// target's log is set aside, the source's (only ever read) stays where it
// is, and the next run merges as ever.
TEST_F(LeftoverLogs, ALogThatDoesNotFitIsSetAsideOnEitherSide) {
    const auto [uncommittedFile, uncommittedLog] = stoppedRun(blank_, merged_, false);
    const auto [committedFile, committedLog] = stoppedRun(blank_, merged_, true);
    Bytes written = uncommittedFile, cut = committedLog;
    written.insert(written.end(), jet::kPageSize, 0x5a);
    cut.resize(cut.size() - 8);
    for (const auto& [what, file, log, says] :
         {std::tuple{"another program wrote after the crash", written, uncommittedLog, "iný program"},
          {"a backup put back after the crash", blank_, committedLog, "zálohou"},
          {"a log of another database", sample_, committedLog, "niečo iné"},
          {"a committed log cut by 8 bytes after its copy had finished", merged_, cut, "niečo iné"}}) {
        for (bool asTarget : {true, false}) {
            SCOPED_TRACE(std::string(what) + (asTarget ? ", beside the target" : ", beside the source"));
            const fs::path path = place(asTarget ? "t.mdb" : "s.mdb", file);
            const fs::path wal = jet::logPathOf(path.string());
            writeAll(wal, log);
            RecordingUi ui = refusedRun(path, asTarget);
            ASSERT_EQ(ui.messages.size(), 2u);
            const std::string& said = ui.messages[0].text;
            EXPECT_EQ(said.rfind("Pomocný súbor " + wal.string() + " sa nedá použiť pre databázu " + path.string(), 0),
                      0u)
                << said;
            EXPECT_NE(said.find(says), std::string::npos) << said;
            EXPECT_EQ(ui.messages[0].flags, merge::mb::Exclamation);
            EXPECT_TRUE(readAll(path) == file);
            if (asTarget) {
                EXPECT_FALSE(fs::exists(wal));
                const auto at = said.find("premenovaný na " + wal.string() + ".nepatri-");
                ASSERT_NE(at, std::string::npos) << said;
                const fs::path aside = said.substr(at + 16, said.size() - at - 17); // "premenovaný na " is 16 bytes
                EXPECT_TRUE(readAll(aside) == log) << aside;
                fs::remove(aside);
            } else {
                EXPECT_NE(said.find("databáza sa číta tak, ako je"), std::string::npos) << said;
                EXPECT_TRUE(readAll(wal) == log);
            }

            RecordingUi again;
            const fs::path other = place("other.mdb", sample_);
            const ImportResult result = asTarget ? run(path, other, &again) : run(other, path, &again);
            EXPECT_EQ(result.steps.size(), 27u) << result.outcome;
            EXPECT_EQ(again.messages.size(), asTarget ? 1u : 2u); // the question, after the source's log
            if (!asTarget) {
                EXPECT_TRUE(readAll(path) == file);
            }
            jet::CheckReport report;
            EXPECT_TRUE(jet::checkFile((asTarget ? path : other).string(), &report).ok() && report.ok());
            fs::remove(wal);
        }
    }
}

// A committed run whose copy into place was cut short is finished when the
// target is next opened, and the run says so before its question. Beside the
// source, only ever read, the run reads the source through the log and
// leaves both as they are.
TEST_F(LeftoverLogs, ASavedRunIsFinishedAndSaidSoBeforeTheQuestion) {
    auto [file, log] = stoppedRun(blank_, merged_, true);
    std::copy_n(blank_.begin(), blank_.size() / 2, file.begin()); // half of it copied
    const fs::path target = place("t.mdb", file);
    writeAll(jet::logPathOf(target.string()), log);
    RecordingUi ui = refusedRun(target, true);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, "Predchádzajúce importovanie do súboru " + target.string() + " bolo dokončené.");
    EXPECT_EQ(ui.messages[0].flags, merge::mb::Information);
    EXPECT_TRUE(readAll(target) == merged_);
    EXPECT_FALSE(hasLog(target));

    const fs::path source = place("s.mdb", file), copied = place("copied.mdb", blank_);
    writeAll(jet::logPathOf(source.string()), log);
    const ImportResult result = run(copied, source);
    EXPECT_TRUE(result.succeeded) << result.outcome;
    EXPECT_TRUE(readAll(source) == file);
    EXPECT_TRUE(readAll(jet::logPathOf(source.string())) == log);
    EXPECT_TRUE(readAll(copied) == merged_);
}

} // namespace
} // namespace hostile
