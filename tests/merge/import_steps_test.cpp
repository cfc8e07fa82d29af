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
    ImportResult run() {
        ImportResult result;
        runImportSteps(target, source, maps, ui, &result);
        return result;
    }
    const StepCounts& counts(const ImportResult& result, std::string_view table) {
        for (const StepCounts& c : result.steps)
            if (c.table == table) return c;
        throw std::runtime_error("no step");
    }
    RecordingUi ui;
};

TEST_F(ImportSteps, AllStepsRunInOrderAndReadTheMapsOfEarlierOnes) {
    insert(target, s::zariadenia::table, {{"id_zariadenia", I(41)}});
    insert(source, s::zariadenia::table, {{"id_zariadenia", I(1)}, {"typ_zariadenia", I(3)}});
    insert(source, s::zariadenia::table, {{"id_zariadenia", I(2)}, {"typ_zariadenia", I(10)}});
    insert(source, s::skupiny_majitelov_identifikatorov::table, {{"id_skupiny", I(5)}});
    insert(source, s::ref_skupina_zariadenie::table, {{"id_skupiny", I(5)}, {"id_zariadenia", I(1)}});
    insert(source, s::ref_skupina_zariadenie::table, {{"id_skupiny", I(5)}, {"id_zariadenia", I(2)}});
    insert(source, s::objednavaci_system::table, {{"id_objednavky", I(9)}});
    insert(source, s::ref_objednavaci_system_zariadenie::table, {{"id_objednavky", I(9)}, {"id_zariadenia", I(1)}});

    ImportResult result = run();
    EXPECT_EQ(result.outcome, "Import bol úspešný");
    EXPECT_EQ(result.outcomeFlags, mb::Information);
    EXPECT_TRUE(result.succeeded);
    ASSERT_EQ(result.steps.size(), 27u);
    ASSERT_EQ(ui.events.size(), 28u);
    for (std::size_t i = 0; i < 27; ++i) {
        EXPECT_EQ(ui.events[i], "progress " + std::string(importPlan()[i].table));
        EXPECT_EQ(result.steps[i].table, importPlan()[i].table);
    }
    EXPECT_EQ(ui.events.back(), "progress ");
    EXPECT_EQ(counts(result, s::zariadenia::table).skipped, 1);
    EXPECT_EQ(column(target, s::ref_skupina_zariadenie::table, "id_zariadenia"), std::vector<jet::Value>{I(42)});
    EXPECT_EQ(column(target, s::ref_skupina_zariadenie::table, "id_skupiny"), std::vector<jet::Value>{I(1)});
    EXPECT_EQ(column(target, s::ref_objednavaci_system_zariadenie::table, "id_objednavky"),
              std::vector<jet::Value>{I(1)});
    EXPECT_EQ(counts(result, s::ref_skupina_zariadenie::table).skipped, 1);
}

TEST_F(ImportSteps, RefusedRowsAreReportedPerStep) {
    MemTable& identifiers = table(target, s::identifikatory::table);
    identifiers.uniqueKeys.push_back({fieldIndex(identifiers.fields, "pin_kod")});
    insert(target, s::identifikatory::table, {{"identifikator", T("A")}, {"pin_kod", I(1)}});
    insert(source, s::identifikatory::table, {{"identifikator", T("B")}, {"pin_kod", I(1)}});
    insert(source, s::identifikatory::table, {{"identifikator", T("C")}, {"pin_kod", I(1)}});
    insert(target, s::zvuky::table, {{"id_zvuku", I(2147483647)}});
    insert(source, s::zvuky::table, {{"id_zvuku", I(1)}});

    ImportResult result = run();
    EXPECT_EQ(result.outcome,
              "Import bol dokončený, ale cieľový súbor odmietol niektoré riadky:\r\nzvuky: 1\r\nidentifikatory: 2");
    EXPECT_EQ(result.outcomeFlags, mb::Exclamation);
    EXPECT_FALSE(result.succeeded);
}

TEST_F(ImportSteps, EngineFailureRollsEverythingBack) {
    insert(source, s::zvuky::table, {{"id_zvuku", I(1)}});
    insert(source, s::mek_schranky::table, {{"id_zariadenia", I(1)}});
    insert(source, s::zariadenia::table, {{"id_zariadenia", I(1)}, {"typ_zariadenia", I(1)}});
    table(target, s::mek_schranky::table).engineFailureAtSave = 0;

    ImportResult result = run();
    EXPECT_EQ(result.outcome, "Import zlyhal, cieľový súbor zostal nezmenený:\r\nmek_schranky: disk full");
    EXPECT_EQ(result.outcomeFlags, mb::Exclamation);
    EXPECT_TRUE(result.steps.empty());
    EXPECT_TRUE(table(target, s::zvuky::table).rows.empty());
    EXPECT_TRUE(table(target, s::zariadenia::table).rows.empty());
    EXPECT_EQ(maps.MapZvuk(1), 0);
    EXPECT_EQ(ui.events.back(), "progress ");
}

TEST_F(ImportSteps, TargetTableThatCannotTakeRowsRefusesTheRunBeforeWriting) {
    insert(source, s::zvuky::table, {{"id_zvuku", I(1)}});
    table(target, s::downloadovane_releidentifikatory::table).cannotAppend = "index of an unknown kind";
    ImportResult result = run();
    EXPECT_EQ(result.outcome, "Import zlyhal, cieľový súbor zostal nezmenený:\r\n"
                              "downloadovane_releidentifikatory: index of an unknown kind");
    EXPECT_TRUE(table(target, s::zvuky::table).rows.empty());
    EXPECT_TRUE(ui.events.empty());

    target.tables.erase(std::string(s::hlasove_vyzvy::table));
    table(target, s::downloadovane_releidentifikatory::table).cannotAppend.clear();
    result = run();
    EXPECT_EQ(result.outcome, "Import zlyhal, cieľový súbor zostal nezmenený:\r\nhlasove_vyzvy: no table");
}

} // namespace
} // namespace merge
