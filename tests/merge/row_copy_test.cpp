#include <gtest/gtest.h>

#include <limits>

#include "merge/row_copy.h"
#include "plan_fixture.h"

namespace merge {
namespace {

using namespace testing;
namespace s = schema;

class RowCopy : public ::testing::Test, public PlanFixture {
protected:
    StepCounts run(std::string_view table) {
        StepCounts counts;
        jet::Status status = copyTable(stepOf(table), source, target, maps, &counts);
        EXPECT_TRUE(status.isOk()) << status.message();
        return counts;
    }
    void device(std::int64_t id, jet::Value type = I(1)) {
        insert(source, s::zariadenia::table, {{"id_zariadenia", I(id)}, {"typ_zariadenia", type}});
    }
    // Devices 1..n of the source mapped to 101..100+n.
    void mapDevices(int n) {
        for (int i = 1; i <= n; ++i) maps.colRefZariadenie.append({i, 100 + i});
    }
};

TEST_F(RowCopy, OwnedKeysContinueAboveTheTargetsHighestInSourceOrder) {
    for (int k = 1; k <= 7; ++k) insert(target, s::zariadenia::table, {{"id_zariadenia", I(k)}});
    device(3);
    device(10);
    device(4);
    StepCounts counts = run(s::zariadenia::table);
    EXPECT_EQ(counts.copied, 3);
    auto keys = column(target, s::zariadenia::table, "id_zariadenia");
    EXPECT_EQ(keys, (std::vector<jet::Value>{I(1), I(2), I(3), I(4), I(5), I(6), I(7), I(8), I(9), I(10)}));
    const auto& entries = maps.colRefZariadenie.entries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(std::make_pair(entries[0].IdStarehoZariadenia, entries[0].IdNovehoZariadenia), std::make_pair(3, 8));
    EXPECT_EQ(std::make_pair(entries[1].IdStarehoZariadenia, entries[1].IdNovehoZariadenia), std::make_pair(10, 9));
    EXPECT_EQ(std::make_pair(entries[2].IdStarehoZariadenia, entries[2].IdNovehoZariadenia), std::make_pair(4, 10));
}

TEST_F(RowCopy, EmptyTargetStartsAtOneAndZeroIsNeverAKey) {
    insert(source, s::zvuky::table, {{"id_zvuku", I(5)}});
    run(s::zvuky::table);
    EXPECT_EQ(maps.MapZvuk(5), 1);

    // Highest key -2: the next keys are -1 and then 1, never 0 (which would
    // read as "not copied").
    PlanFixture negative;
    insert(negative.target, s::zvuky::table, {{"id_zvuku", I(-2)}});
    insert(negative.source, s::zvuky::table, {{"id_zvuku", I(1)}});
    insert(negative.source, s::zvuky::table, {{"id_zvuku", I(2)}});
    StepCounts counts;
    ASSERT_TRUE(copyTable(stepOf(s::zvuky::table), negative.source, negative.target, negative.maps, &counts).isOk());
    EXPECT_EQ(negative.maps.MapZvuk(1), -1);
    EXPECT_EQ(negative.maps.MapZvuk(2), 1);
}

TEST_F(RowCopy, DevicesOfTypes0_10_12AndNullAreLeftOutOthersMarkedOffline) {
    device(1, I(0));
    device(2, I(10));
    device(3, I(12));
    device(4, Null);
    device(5, I(7));
    insert(source, s::zariadenia::table, {{"id_zariadenia", I(6)}, {"typ_zariadenia", I(11)}, {"flag_offline", false}});
    StepCounts counts = run(s::zariadenia::table);
    EXPECT_EQ(counts.copied, 2);
    EXPECT_EQ(counts.skipped, 4);
    EXPECT_EQ(column(target, s::zariadenia::table, "flag_offline"), (std::vector<jet::Value>{true, true}));
    EXPECT_EQ(maps.MapZariadenie(2), 0);
    EXPECT_EQ(maps.MapZariadenie(5), 1);
    EXPECT_EQ(maps.MapZariadenie(6), 2);
}

TEST_F(RowCopy, DependentRowsAreRewrittenOrLeftOut) {
    mapDevices(1);
    insert(source, s::parametre_zariadeni::table, {{"id_zariadenia", I(1)}, {"heslo", I(77)}});
    insert(source, s::parametre_zariadeni::table, {{"id_zariadenia", I(2)}}); // device not copied
    insert(source, s::parametre_zariadeni::table, {{"id_zariadenia", Null}});
    insert(source, s::parametre_zariadeni::table, {{"id_zariadenia", T("1")}}); // not a whole number
    insert(source, s::parametre_zariadeni::table, {{"id_zariadenia", I(4294967297)}}); // out of range
    StepCounts counts = run(s::parametre_zariadeni::table);
    EXPECT_EQ(counts.copied, 1);
    EXPECT_EQ(counts.skipped, 4);
    EXPECT_EQ(column(target, s::parametre_zariadeni::table, "id_zariadenia"), std::vector<jet::Value>{I(101)});
    EXPECT_EQ(column(target, s::parametre_zariadeni::table, "heslo"), std::vector<jet::Value>{I(77)});
}

TEST_F(RowCopy, RemoteOpeningNeedsBothDevices) {
    mapDevices(2);
    namespace d = s::dialkove_otvorenie_vyvolane_pouzitim_identifikatora;
    insert(source, d::table, {{"id_zariadenia_na_otvorenie", I(1)}, {"id_zariadenia_vyvolajuce", I(2)}});
    insert(source, d::table, {{"id_zariadenia_na_otvorenie", I(1)}, {"id_zariadenia_vyvolajuce", I(9)}});
    insert(source, d::table, {{"id_zariadenia_na_otvorenie", I(9)}, {"id_zariadenia_vyvolajuce", I(2)}});
    StepCounts counts = run(d::table);
    EXPECT_EQ(counts.copied, 1);
    EXPECT_EQ(counts.skipped, 2);
    EXPECT_EQ(column(target, d::table, "id_zariadenia_na_otvorenie"), std::vector<jet::Value>{I(101)});
    EXPECT_EQ(column(target, d::table, "id_zariadenia_vyvolajuce"), std::vector<jet::Value>{I(102)});
}

TEST_F(RowCopy, AutoNumberColumnsOfTheTargetAreFilledByTheEngine) {
    mapDevices(2);
    namespace d = s::dialkove_otvorenie_vyvolane_pouzitim_identifikatora;
    int id = fieldIndex(table(target, d::table).fields, "id");
    table(target, d::table).fields[id].autoNumber = true;
    table(target, d::table).lastAutoNumber = 40;
    insert(source, d::table, {{"id", I(5)}, {"id_zariadenia_na_otvorenie", I(1)}, {"id_zariadenia_vyvolajuce", I(2)}});
    insert(source, d::table, {{"id", I(5)}, {"id_zariadenia_na_otvorenie", I(2)}, {"id_zariadenia_vyvolajuce", I(1)}});
    run(d::table);
    EXPECT_EQ(column(target, d::table, "id"), (std::vector<jet::Value>{I(41), I(42)}));
}

TEST_F(RowCopy, RemoteControlTakesNewKeysButFillsNoMap) {
    namespace d = s::dialkove_ovladanie_zariadeni;
    mapDevices(1);
    insert(target, d::table, {{"id_dialkoveho_ovladania", I(20)}, {"id_zariadenia", I(1)}});
    insert(source, d::table, {{"id_dialkoveho_ovladania", I(1)}, {"id_zariadenia", I(1)}});
    insert(source, d::table, {{"id_dialkoveho_ovladania", I(2)}, {"id_zariadenia", I(3)}}); // unmapped
    insert(source, d::table, {{"id_dialkoveho_ovladania", I(3)}, {"id_zariadenia", I(1)}});
    StepCounts counts = run(d::table);
    EXPECT_EQ(counts.copied, 2);
    EXPECT_EQ(counts.skipped, 1);
    EXPECT_EQ(column(target, d::table, "id_dialkoveho_ovladania"), (std::vector<jet::Value>{I(20), I(21), I(22)}));
    EXPECT_EQ(column(target, d::table, "id_zariadenia"), (std::vector<jet::Value>{I(1), I(101), I(101)}));
    EXPECT_TRUE(maps.colRefZariadenie.entries().size() == 1);
}

TEST_F(RowCopy, VoicePromptsNeedTheirSoundAndKeepANullDevice) {
    namespace h = s::hlasove_vyzvy;
    mapDevices(1);
    maps.colRefZvuk.append({4, 14});
    insert(source, h::table, {{"id_zariadenia", I(1)}, {"id_zvuku", I(4)}});
    insert(source, h::table, {{"id_zariadenia", Null}, {"id_zvuku", I(4)}});
    insert(source, h::table, {{"id_zariadenia", I(2)}, {"id_zvuku", I(4)}}); // device not copied: 0
    insert(source, h::table, {{"id_zariadenia", I(1)}, {"id_zvuku", I(5)}}); // sound not copied
    insert(source, h::table, {{"id_zariadenia", I(1)}, {"id_zvuku", Null}});
    StepCounts counts = run(h::table);
    EXPECT_EQ(counts.copied, 3);
    EXPECT_EQ(counts.skipped, 2);
    EXPECT_EQ(column(target, h::table, "id_zariadenia"), (std::vector<jet::Value>{I(101), Null, I(0)}));
    EXPECT_EQ(column(target, h::table, "id_zvuku"), (std::vector<jet::Value>{I(14), I(14), I(14)}));
}

TEST_F(RowCopy, PatrolWithoutItsGroupUsesNoKeyNumber) {
    namespace o = s::obchodzky;
    maps.colRefSkupina.append({1, 11});
    insert(target, o::table, {{"id", I(5)}});
    insert(source, o::table, {{"id", I(1)}, {"id_skupiny_obchodzkarov", I(1)}});
    insert(source, o::table, {{"id", I(2)}, {"id_skupiny_obchodzkarov", I(9)}});
    insert(source, o::table, {{"id", I(3)}, {"id_skupiny_obchodzkarov", I(1)}});
    StepCounts counts = run(o::table);
    EXPECT_EQ(counts.skipped, 1);
    EXPECT_EQ(column(target, o::table, "id"), (std::vector<jet::Value>{I(5), I(6), I(7)}));
    EXPECT_EQ(column(target, o::table, "id_skupiny_obchodzkarov"), (std::vector<jet::Value>{Null, I(11), I(11)}));
    EXPECT_EQ(maps.MapObchodzka(1), 6);
    EXPECT_EQ(maps.MapObchodzka(2), 0);
    EXPECT_EQ(maps.MapObchodzka(3), 7);
}

TEST_F(RowCopy, PatrolDeviceRelationsTestOnlyTheDevice) {
    namespace r = s::ref_obchodzky_zariadenia;
    mapDevices(1);
    maps.colRefObchodzka.append({1, 31});
    insert(source, r::table, {{"id_obchodzky", I(1)}, {"id_zariadenia", I(1)}});
    insert(source, r::table, {{"id_obchodzky", I(2)}, {"id_zariadenia", I(1)}}); // patrol not copied: 0
    insert(source, r::table, {{"id_obchodzky", Null}, {"id_zariadenia", I(1)}}); // stays Null
    insert(source, r::table, {{"id_obchodzky", I(1)}, {"id_zariadenia", I(2)}}); // device not copied
    StepCounts counts = run(r::table);
    EXPECT_EQ(counts.copied, 3);
    EXPECT_EQ(counts.skipped, 1);
    EXPECT_EQ(column(target, r::table, "id_obchodzky"), (std::vector<jet::Value>{I(31), I(0), Null}));
}

TEST_F(RowCopy, IdentifiersAlreadyInTheTargetAreNotCopiedLetterCaseIgnored) {
    namespace i = s::identifikatory;
    insert(target, i::table, {{"identifikator", T("AB12")}, {"pin_kod", I(1)}});
    insert(source, i::table, {{"identifikator", T("ab12")}, {"pin_kod", I(2)}});
    insert(source, i::table, {{"identifikator", T("O'Neil-1")}, {"pin_kod", I(3)}});
    insert(source, i::table, {{"identifikator", T("o'neil-1")}, {"pin_kod", I(4)}}); // saved just before
    insert(source, i::table, {{"identifikator", T("Čierny")}, {"pin_kod", I(5)}});
    StepCounts counts = run(i::table);
    EXPECT_EQ(counts.copied, 2);
    EXPECT_EQ(counts.skipped, 2);
    EXPECT_EQ(column(target, i::table, "identifikator"),
              (std::vector<jet::Value>{T("AB12"), T("O'Neil-1"), T("Čierny")}));
    EXPECT_EQ(column(target, i::table, "pin_kod"), (std::vector<jet::Value>{I(1), I(3), I(5)}));
}

TEST_F(RowCopy, OwningRowWithoutAKeyIsCopiedButNotMapped) {
    insert(source, s::zvuky::table, {{"id_zvuku", Null}, {"popis", I(1)}});
    insert(source, s::zvuky::table, {{"id_zvuku", I(7)}, {"popis", I(2)}});
    StepCounts counts = run(s::zvuky::table);
    EXPECT_EQ(counts.copied, 2);
    EXPECT_EQ(column(target, s::zvuky::table, "id_zvuku"), (std::vector<jet::Value>{I(1), I(2)}));
    ASSERT_EQ(maps.colRefZvuk.entries().size(), 1u);
    EXPECT_EQ(maps.MapZvuk(7), 2);
}

TEST_F(RowCopy, RefusedOwningRowKeepsItsKeyNumberButGetsNoEntry) {
    MemTable& sounds = table(target, s::zvuky::table);
    sounds.uniqueKeys.push_back({fieldIndex(sounds.fields, "popis")});
    insert(target, s::zvuky::table, {{"id_zvuku", I(1)}, {"popis", I(50)}});
    insert(source, s::zvuky::table, {{"id_zvuku", I(1)}, {"popis", I(50)}}); // duplicate popis
    insert(source, s::zvuky::table, {{"id_zvuku", I(2)}, {"popis", I(51)}});
    StepCounts counts = run(s::zvuky::table);
    EXPECT_EQ(counts.refused, 1);
    EXPECT_EQ(counts.copied, 1);
    EXPECT_EQ(maps.MapZvuk(1), 0);
    EXPECT_EQ(maps.MapZvuk(2), 3);
}

TEST_F(RowCopy, KeysNeverWrapPastTheLargest32BitInteger) {
    insert(target, s::zvuky::table, {{"id_zvuku", I(std::numeric_limits<std::int32_t>::max() - 1)}});
    for (int k = 1; k <= 3; ++k) insert(source, s::zvuky::table, {{"id_zvuku", I(k)}});
    StepCounts counts = run(s::zvuky::table);
    EXPECT_EQ(counts.copied, 1);
    EXPECT_EQ(counts.refused, 2);
    EXPECT_EQ(maps.MapZvuk(1), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(maps.MapZvuk(2), 0);
}

TEST_F(RowCopy, TableMissingOnEitherSideEndsTheStepWithoutRows) {
    source.tables.erase(std::string(s::mek_schranky::table));
    EXPECT_EQ(run(s::mek_schranky::table).copied, 0);

    PlanFixture other;
    other.maps.colRefZariadenie.append({1, 1});
    insert(other.source, s::mek_schranky::table, {{"id_zariadenia", I(1)}});
    other.target.tables.erase(std::string(s::mek_schranky::table));
    StepCounts counts;
    EXPECT_TRUE(copyTable(stepOf(s::mek_schranky::table), other.source, other.target, other.maps, &counts).isOk());
    EXPECT_EQ(counts.copied + counts.skipped + counts.refused, 0);
}

TEST_F(RowCopy, EngineFailureStopsTheStep) {
    mapDevices(1);
    table(target, s::mek_schranky::table).engineFailureAtSave = 1;
    for (int k = 0; k < 3; ++k) insert(source, s::mek_schranky::table, {{"id_zariadenia", I(1)}});
    StepCounts counts;
    jet::Status status = copyTable(stepOf(s::mek_schranky::table), source, target, maps, &counts);
    EXPECT_EQ(status.code(), jet::Status::Code::IoError);
    EXPECT_EQ(counts.copied, 1);
}

} // namespace
} // namespace merge
