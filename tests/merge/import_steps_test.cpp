// The steps of a run on two database files made from the empty server
// database: the edges of the key numbering, and a target or an engine that
// fails the run. Whole runs are checked by the whole-merge tests.
#include <gtest/gtest.h>

#include <limits>

#include "merge/import_run.h"
#include "fixture.h"
#include "schema/catalogue.h"

namespace merge {
namespace {

using namespace testing;
namespace s = schema;

ImportResult runOn(PlanFixture& files, RunUi& ui) {
    ImportResult result;
    std::unique_ptr<Database> from = openForMerge(files.source), to = openForMerge(files.target);
    if (from && to) runImportSteps(*to, *from, files.maps, ui, &result);
    return result;
}

class ImportSteps : public ::testing::Test, public PlanFixture {
protected:
    ImportResult run() { return runOn(*this, ui); }
    RecordingUi ui;
};

// New keys continue above the target's highest: from 1 in an empty table,
// never 0 (which would read as "not copied"), and never past the largest
// 32-bit integer: a row without a key left is refused and maps to nothing.
TEST_F(ImportSteps, NewKeysSkipZeroAndNeverWrap) {
    source.insert(s::zvuky::table, {{"id_zvuku", I(5)}});
    run();
    EXPECT_EQ(maps.MapZvuk(5), 1);

    for (int highest : {-2, std::numeric_limits<std::int32_t>::max() - 1}) {
        PlanFixture f;
        f.target.insert(s::zvuky::table, {{"id_zvuku", I(highest)}});
        for (int k = 1; k <= 2; ++k) f.source.insert(s::zvuky::table, {{"id_zvuku", I(k)}});
        const bool full = highest > 0;
        const ImportResult result = runOn(f, ui);
        const StepCounts& zvuky = result.steps.at(4);
        EXPECT_EQ(std::tie(zvuky.table, zvuky.copied, zvuky.refused), std::make_tuple("zvuky", 2 - full, full));
        EXPECT_EQ(f.maps.MapZvuk(1), highest + 1);
        EXPECT_EQ(f.maps.MapZvuk(2), full ? 0 : 1);
    }
}

// A data page of the source's key-cabinet boxes is damaged: the rows the
// earlier steps appended are rolled back and the target keeps its bytes.
TEST_F(ImportSteps, EngineFailureRollsEverythingBack) {
    source.insert(s::zvuky::table, {{"id_zvuku", I(1)}});
    source.insert(s::zariadenia::table, {{"id_zariadenia", I(1)}, {"typ_zariadenia", I(1)}});
    for (int k = 1; k <= 60; ++k) // long descriptions, on more than one data page
        source.insert(s::mek_schranky::table, {{"id_zariadenia", I(1)},
                                               {"index_schranky", I(k)},
                                               {"popis_schranky", jet::Value(std::u16string(100, u'\u017e'))}});
    std::vector<std::uint32_t> pages = source.dataPages(s::mek_schranky::table);
    ASSERT_GE(pages.size(), 2u);
    source.damagePage(pages[1], 14);
    target.close();
    const Bytes before = readAll(target.path());

    ImportResult result = run();
    const std::string head = "Import zlyhal, cieľový súbor zostal nezmenený:\r\nmek_schranky: ";
    EXPECT_EQ(result.outcome.rfind(head, 0), 0u) << result.outcome;
    EXPECT_GT(result.outcome.size(), head.size());
    EXPECT_EQ(result.outcomeFlags, mb::Exclamation);
    EXPECT_TRUE(result.steps.empty());
    EXPECT_TRUE(readAll(target.path()) == before);
    EXPECT_EQ(maps.MapZvuk(1), 0);
    EXPECT_EQ(ui.events.back(), "progress ");
}

// A target without one of the plan's tables would take the other steps' rows
// alone: the run is refused before anything is written.
TEST_F(ImportSteps, TargetTableThatCannotTakeRowsRefusesTheRunBeforeWriting) {
    source.insert(s::zvuky::table, {{"id_zvuku", I(1)}});
    target.renameTable(s::hlasove_vyzvy::table, "hlasove_vyzvx");
    const Bytes before = readAll(target.path());
    ImportResult result = run();
    EXPECT_EQ(result.outcome.rfind("Import zlyhal, cieľový súbor zostal nezmenený:\r\nhlasove_vyzvy: ", 0), 0u)
        << result.outcome;
    EXPECT_TRUE(readAll(target.path()) == before);
    EXPECT_TRUE(ui.events.empty());
}

// The target as the engine has it, but its commit fails as told, and its
// rollback too when told.
class FailingAtTheEnd : public Database {
public:
    FailingAtTheEnd(std::unique_ptr<Database> db, jet::Status commit, bool rollbackFails)
        : db_(std::move(db)), commit_(std::move(commit)), rollbackFails_(rollbackFails) {}
    jet::Status property(std::string_view name, std::string* value) override { return db_->property(name, value); }
    jet::Status openRecordset(std::string_view table, std::unique_ptr<Recordset>* out) override {
        return db_->openRecordset(table, out);
    }
    jet::Status openRecordset(const Statement& statement, std::unique_ptr<Recordset>* out) override {
        return db_->openRecordset(statement, out);
    }
    jet::Status canAppend(std::string_view table) override { return db_->canAppend(table); }
    jet::Status begin() override { return db_->begin(); }
    jet::Status commit() override { return commit_; }
    jet::Status rollback() override {
        jet::Status st = db_->rollback();
        return rollbackFails_ ? jet::Status::error(jet::Status::Code::IoError, "Vrátenie zlyhalo.") : st;
    }

private:
    std::unique_ptr<Database> db_;
    jet::Status commit_;
    bool rollbackFails_;
};

// The engine fails at the very end. Once the commit record is on the disk
// the run is saved: the outcome says so and keeps its counts. Before it, a
// rollback that fails as well does not leave the target unchanged.
TEST_F(ImportSteps, FailureAtTheCommitIsToldAsItIs) {
    source.insert(s::zvuky::table, {{"id_zvuku", I(1)}});
    using Code = jet::Status::Code;
    for (const auto& [commit, rollbackFails, head] :
         {std::tuple{jet::Status::error(Code::Pending, "Zapíšu sa neskôr."), false,
                     "Import je uložený, ale do cieľového súboru sa ešte nezapísal celý; dopíše sa pri najbližšom "
                     "otvorení súboru:\r\nZapíšu sa neskôr."},
          {jet::Status::error(Code::IoError, "Disk zlyhal."), true,
           "Import zlyhal a jeho zmeny sa nepodarilo vrátiť; cieľový súbor sa dá do poriadku pri najbližšom "
           "otvorení:\r\nDisk zlyhal.\r\nVrátenie zlyhalo."}}) {
        ImportResult result;
        std::unique_ptr<Database> from = openForMerge(source);
        FailingAtTheEnd to(openForMerge(target), commit, rollbackFails);
        runImportSteps(to, *from, maps, ui, &result);
        EXPECT_EQ(result.outcome, head);
        EXPECT_EQ(result.outcomeFlags, mb::Exclamation);
        EXPECT_FALSE(result.succeeded);
        EXPECT_EQ(result.steps.size(), commit.code() == Code::Pending ? 27u : 0u);
    }
}

} // namespace
} // namespace merge
