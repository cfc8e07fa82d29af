// The steps of a run on two database files: the refusals they report, and
// the rollback when the engine fails. Their order and the maps they pass on
// are checked by the whole-merge tests, the progress captions by the
// window's tests.
#include <gtest/gtest.h>

#include "merge/import_run.h"
#include "plan_fixture.h"
#include "recording_ui.h"

namespace merge {
namespace {

using namespace testing;
namespace s = schema;

class ImportSteps : public ::testing::Test, public PlanFixture {
protected:
    ImportResult run(PlanFixture& files) {
        ImportResult result;
        std::unique_ptr<Database> from = openForMerge(files.source), to = openForMerge(files.target);
        if (from && to) runImportSteps(*to, *from, files.maps, ui, &result);
        return result;
    }
    ImportResult run() { return run(*this); }
    RecordingUi ui;
};

// Values too long for the target's narrower columns are left out field by
// field, listed after the refused rows in step and column order.
TEST_F(ImportSteps, RefusedRowsAndEmptiedFieldsAreReportedPerStep) {
    namespace i = s::identifikatory;
    auto narrowTarget = [](PlanFixture& f) {
        f.target.setTextLength(s::zariadenia::table, "kontaktna_osoba", 3);
        f.target.setTextLength(i::table, "cislo_bytu", 2);
        f.target.setTextLength(i::table, "pin_kod", 4);
        f.source.insert(s::zariadenia::table,
                        {{"id_zariadenia", I(1)}, {"typ_zariadenia", I(1)}, {"kontaktna_osoba", T("Ján Novák")}});
    };
    narrowTarget(*this);
    target.insert(i::table, {{"identifikator", T("A")}, {"pin_kod", T("1234")}});
    source.insert(i::table, {{"identifikator", T("B")}, {"pin_kod", T("123456")}, {"cislo_bytu", T("123")}});
    source.insert(i::table, {{"identifikator", T("C")}, {"pin_kod", T("123456")}});
    target.insert(s::zvuky::table, {{"id_zvuku", I(2147483647)}});
    source.insert(s::zvuky::table, {{"id_zvuku", I(1)}});

    ImportResult result = run();
    EXPECT_EQ(result.outcome,
              "Import bol dokončený, ale cieľový súbor odmietol niektoré riadky:\r\nzvuky: 1\r\n"
              "Cieľový súbor neprijal niektoré hodnoty; tieto polia zostali prázdne:\r\n"
              "zariadenia.kontaktna_osoba: 1\r\nidentifikatory.cislo_bytu: 1\r\nidentifikatory.pin_kod: 2");
    EXPECT_EQ(result.outcomeFlags, mb::Exclamation);
    EXPECT_FALSE(result.succeeded);
    EXPECT_EQ(target.column(i::table, "pin_kod"), (std::vector<jet::Value>{T("1234"), Null, Null}));

    // Without a refused row the message opens with the emptied fields.
    PlanFixture alone;
    narrowTarget(alone);
    result = run(alone);
    EXPECT_EQ(result.outcome, "Import bol dokončený, ale cieľový súbor neprijal niektoré hodnoty; tieto polia zostali "
                              "prázdne:\r\nzariadenia.kontaktna_osoba: 1");
    EXPECT_EQ(result.outcomeFlags, mb::Exclamation);
    EXPECT_FALSE(result.succeeded);
}

// A data page of the source's key-cabinet boxes is damaged: the rows the
// earlier steps appended are rolled back and the target keeps its bytes.
TEST_F(ImportSteps, EngineFailureRollsEverythingBack) {
    source.insert(s::zvuky::table, {{"id_zvuku", I(1)}});
    source.insert(s::zariadenia::table, {{"id_zariadenia", I(1)}, {"typ_zariadenia", I(1)}});
    fillBoxes(source, 60);
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

TEST_F(ImportSteps, TargetTableThatCannotTakeRowsRefusesTheRunBeforeWriting) {
    source.insert(s::zvuky::table, {{"id_zvuku", I(1)}});
    // A key of the last table sorts its text in an order the engine cannot write.
    target.setSortOrder(s::downloadovane_releidentifikatory::table, "identifikator", 0x041B);
    const Bytes before = readAll(target.path());
    ImportResult result = run();
    const std::string head = "Import zlyhal, cieľový súbor zostal nezmenený:\r\n";
    EXPECT_EQ(result.outcome.rfind(head + "downloadovane_releidentifikatory: ", 0), 0u) << result.outcome;
    EXPECT_TRUE(readAll(target.path()) == before);
    EXPECT_TRUE(ui.events.empty());

    target.setSortOrder(s::downloadovane_releidentifikatory::table, "identifikator", 0x0409);
    target.renameTable(s::hlasove_vyzvy::table, "hlasove_vyzvx");
    result = run();
    EXPECT_EQ(result.outcome.rfind(head + "hlasove_vyzvy: ", 0), 0u) << result.outcome;
    EXPECT_EQ(target.rows(s::zvuky::table), 0u);
}

} // namespace
} // namespace merge
