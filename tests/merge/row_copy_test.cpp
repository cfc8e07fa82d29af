// One table step at a time, on a source and a target file made from the
// empty server database: renewed keys, rewritten references, rows left out
// or refused, and the key maps the steps fill.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "merge/row_copy.h"
#include "plan_fixture.h"

namespace merge {
namespace {

using namespace testing;
namespace s = schema;

// Runs one step of a fixture's files; the status of the step.
jet::Status copyStep(PlanFixture& f, std::string_view table, StepCounts* counts) {
    std::unique_ptr<Database> source = openForMerge(f.source), target = openForMerge(f.target);
    if (!source || !target) return jet::Status::error(jet::Status::Code::IoError, "cannot open");
    return copyTable(stepOf(table), *source, *target, f.maps, counts);
}

// Rows copied, skipped and refused.
using Counts = std::tuple<int, int, int>;

class RowCopy : public ::testing::Test, public PlanFixture {
protected:
    Counts run(std::string_view table) {
        StepCounts counts;
        jet::Status status = copyStep(*this, table, &counts);
        EXPECT_TRUE(status.ok()) << status.message();
        return {counts.copied, counts.skipped, counts.refused};
    }
    void device(std::int64_t id, jet::Value type = I(1)) {
        source.insert(s::zariadenia::table, {{"id_zariadenia", I(id)}, {"typ_zariadenia", type}});
    }
    // Devices 1..n of the source mapped to 101..100+n.
    void mapDevices(int n) {
        for (int i = 1; i <= n; ++i) maps.colRefZariadenie.append({i, 100 + i});
    }
};

TEST_F(RowCopy, OwnedKeysContinueAboveTheTargetsHighestInSourceOrder) {
    for (int k = 1; k <= 7; ++k) target.insert(s::zariadenia::table, {{"id_zariadenia", I(k)}});
    for (int id : {3, 10, 4}) device(id);
    EXPECT_EQ(run(s::zariadenia::table), Counts(3, 0, 0));
    EXPECT_EQ(target.column(s::zariadenia::table, "id_zariadenia"),
              (std::vector<jet::Value>{I(1), I(2), I(3), I(4), I(5), I(6), I(7), I(8), I(9), I(10)}));
    EXPECT_EQ(entriesOf(maps.colRefZariadenie), (MapEntries{{3, 8}, {10, 9}, {4, 10}}));
}

TEST_F(RowCopy, EmptyTargetStartsAtOneAndZeroIsNeverAKey) {
    source.insert(s::zvuky::table, {{"id_zvuku", I(5)}});
    run(s::zvuky::table);
    EXPECT_EQ(maps.MapZvuk(5), 1);

    // Highest key -2: the next keys are -1 and then 1, never 0 (which would
    // read as "not copied").
    PlanFixture negative;
    negative.target.insert(s::zvuky::table, {{"id_zvuku", I(-2)}});
    negative.source.insert(s::zvuky::table, {{"id_zvuku", I(1)}});
    negative.source.insert(s::zvuky::table, {{"id_zvuku", I(2)}});
    StepCounts counts;
    ASSERT_TRUE(copyStep(negative, s::zvuky::table, &counts).ok());
    EXPECT_EQ(negative.maps.MapZvuk(1), -1);
    EXPECT_EQ(negative.maps.MapZvuk(2), 1);
}

TEST_F(RowCopy, DevicesOfTypes0_10_12AndNullAreLeftOutOthersMarkedOffline) {
    device(1, I(0));
    device(2, I(10));
    device(3, I(12));
    device(4, Null);
    device(5, I(7));
    source.insert(s::zariadenia::table, {{"id_zariadenia", I(6)}, {"typ_zariadenia", I(11)}, {"flag_offline", false}});
    EXPECT_EQ(run(s::zariadenia::table), Counts(2, 4, 0));
    EXPECT_EQ(target.column(s::zariadenia::table, "flag_offline"), (std::vector<jet::Value>{true, true}));
    EXPECT_EQ(maps.MapZariadenie(2), 0);
    EXPECT_EQ(maps.MapZariadenie(5), 1);
    EXPECT_EQ(maps.MapZariadenie(6), 2);
}

TEST_F(RowCopy, DependentRowsAreRewrittenOrLeftOut) {
    namespace c = s::casove_zony_zariadeni;
    mapDevices(1);
    source.insert(c::table, {{"id_zariadenia", I(1)}, {"od_minuty", I(77)}});
    source.insert(c::table, {{"id_zariadenia", I(2)}}); // device not copied
    source.insert(c::table, {{"id_zariadenia", Null}});
    EXPECT_EQ(run(c::table), Counts(1, 2, 0));
    EXPECT_EQ(target.column(c::table, "id_zariadenia"), std::vector<jet::Value>{I(101)});
    EXPECT_EQ(target.column(c::table, "od_minuty"), std::vector<jet::Value>{I(77)});
}

// A source whose reference column holds single-precision numbers: a whole
// number maps, a fraction and a number beyond 32 bits leave the row out.
TEST_F(RowCopy, ReferenceOfAnotherTypeMapsOnlyAsAWhole32BitNumber) {
    namespace c = s::casove_zony_zariadeni;
    mapDevices(1);
    for (float f : {1.0f, 1.5f, 3e9f, -0.0f}) {
        std::uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        source.insert(c::table, {{"id_zariadenia", I(static_cast<std::int32_t>(bits))}});
    }
    source.close();
    source.setColumnType(c::table, "id_zariadenia", jet::ColumnType::Single);
    ASSERT_EQ(source.column(c::table, "id_zariadenia"), (std::vector<jet::Value>{1.0f, 1.5f, 3e9f, -0.0f}));
    EXPECT_EQ(run(c::table), Counts(1, 3, 0)); // -0 is key 0, which no map holds
    EXPECT_EQ(target.column(c::table, "id_zariadenia"), std::vector<jet::Value>{I(101)});
}

// A remote opening needs both its devices; the target's engine numbers the
// rows it takes after its own.
TEST_F(RowCopy, RemoteOpeningNeedsBothDevicesAndTakesTheTargetsAutoNumbers) {
    namespace d = s::dialkove_otvorenie_vyvolane_pouzitim_identifikatora;
    mapDevices(2);
    for (int k = 0; k < 3; ++k) target.insert(d::table, {{"id_zariadenia_na_otvorenie", I(k)}});
    for (auto [opened, opening] : {std::pair{1, 2}, {1, 9}, {9, 2}, {2, 1}})
        source.insert(d::table, {{"id_zariadenia_na_otvorenie", I(opened)}, {"id_zariadenia_vyvolajuce", I(opening)}});
    ASSERT_EQ(source.column(d::table, "id"), (std::vector<jet::Value>{I(1), I(2), I(3), I(4)}));
    EXPECT_EQ(run(d::table), Counts(2, 2, 0));
    EXPECT_EQ(target.column(d::table, "id"), (std::vector<jet::Value>{I(1), I(2), I(3), I(4), I(5)}));
    EXPECT_EQ(target.column(d::table, "id_zariadenia_na_otvorenie"),
              (std::vector<jet::Value>{I(0), I(1), I(2), I(101), I(102)}));
    EXPECT_EQ(target.column(d::table, "id_zariadenia_vyvolajuce"),
              (std::vector<jet::Value>{Null, Null, Null, I(102), I(101)}));
}

TEST_F(RowCopy, RemoteControlTakesNewKeysButFillsNoMap) {
    namespace d = s::dialkove_ovladanie_zariadeni;
    mapDevices(1);
    target.insert(d::table, {{"id_dialkoveho_ovladania", I(20)}, {"id_zariadenia", I(1)}});
    source.insert(d::table, {{"id_dialkoveho_ovladania", I(1)}, {"id_zariadenia", I(1)}});
    source.insert(d::table, {{"id_dialkoveho_ovladania", I(2)}, {"id_zariadenia", I(3)}}); // unmapped
    source.insert(d::table, {{"id_dialkoveho_ovladania", I(3)}, {"id_zariadenia", I(1)}});
    EXPECT_EQ(run(d::table), Counts(2, 1, 0));
    EXPECT_EQ(target.column(d::table, "id_dialkoveho_ovladania"), (std::vector<jet::Value>{I(20), I(21), I(22)}));
    EXPECT_EQ(target.column(d::table, "id_zariadenia"), (std::vector<jet::Value>{I(1), I(101), I(101)}));
    EXPECT_EQ(maps.colRefZariadenie.entries().size(), 1u);
}

TEST_F(RowCopy, VoicePromptsNeedTheirSoundAndKeepANullDevice) {
    namespace h = s::hlasove_vyzvy;
    mapDevices(1);
    maps.colRefZvuk.append({4, 14});
    source.insert(h::table, {{"id_zariadenia", I(1)}, {"id_zvuku", I(4)}});
    source.insert(h::table, {{"id_zariadenia", Null}, {"id_zvuku", I(4)}});
    source.insert(h::table, {{"id_zariadenia", I(2)}, {"id_zvuku", I(4)}}); // device not copied: 0
    source.insert(h::table, {{"id_zariadenia", I(1)}, {"id_zvuku", I(5)}}); // sound not copied
    source.insert(h::table, {{"id_zariadenia", I(1)}, {"id_zvuku", Null}});
    EXPECT_EQ(run(h::table), Counts(3, 2, 0));
    EXPECT_EQ(target.column(h::table, "id_zariadenia"), (std::vector<jet::Value>{I(101), Null, I(0)}));
    EXPECT_EQ(target.column(h::table, "id_zvuku"), (std::vector<jet::Value>{I(14), I(14), I(14)}));
}

TEST_F(RowCopy, PatrolWithoutItsGroupUsesNoKeyNumber) {
    namespace o = s::obchodzky;
    maps.colRefSkupina.append({1, 11});
    target.insert(o::table, {{"id", I(5)}});
    source.insert(o::table, {{"id", I(1)}, {"id_skupiny_obchodzkarov", I(1)}});
    source.insert(o::table, {{"id", I(2)}, {"id_skupiny_obchodzkarov", I(9)}});
    source.insert(o::table, {{"id", I(3)}, {"id_skupiny_obchodzkarov", I(1)}});
    EXPECT_EQ(run(o::table), Counts(2, 1, 0));
    EXPECT_EQ(target.column(o::table, "id"), (std::vector<jet::Value>{I(5), I(6), I(7)}));
    EXPECT_EQ(target.column(o::table, "id_skupiny_obchodzkarov"), (std::vector<jet::Value>{Null, I(11), I(11)}));
    EXPECT_EQ(maps.MapObchodzka(1), 6);
    EXPECT_EQ(maps.MapObchodzka(2), 0);
    EXPECT_EQ(maps.MapObchodzka(3), 7);
}

TEST_F(RowCopy, PatrolDeviceRelationsTestOnlyTheDevice) {
    namespace r = s::ref_obchodzky_zariadenia;
    source.dropPrimaryKey(r::table); // a Null patrol round needs files without the key
    target.dropPrimaryKey(r::table);
    mapDevices(1);
    maps.colRefObchodzka.append({1, 31});
    source.insert(r::table, {{"id_obchodzky", I(1)}, {"id_zariadenia", I(1)}});
    source.insert(r::table, {{"id_obchodzky", I(2)}, {"id_zariadenia", I(1)}}); // patrol not copied: 0
    source.insert(r::table, {{"id_obchodzky", Null}, {"id_zariadenia", I(1)}}); // stays Null
    source.insert(r::table, {{"id_obchodzky", I(1)}, {"id_zariadenia", I(2)}}); // device not copied
    EXPECT_EQ(run(r::table), Counts(3, 1, 0));
    EXPECT_EQ(target.column(r::table, "id_obchodzky"), (std::vector<jet::Value>{I(31), I(0), Null}));
}

TEST_F(RowCopy, IdentifiersAlreadyInTheTargetAreNotCopiedLetterCaseIgnored) {
    namespace i = s::identifikatory;
    source.dropPrimaryKey(i::table); // so that it holds one identifier in two spellings
    target.insert(i::table, {{"identifikator", T("AB12")}, {"pin_kod", T("1")}});
    source.insert(i::table, {{"identifikator", T("ab12")}, {"pin_kod", T("2")}});
    source.insert(i::table, {{"identifikator", T("O'Neil-1")}, {"pin_kod", T("3")}});
    source.insert(i::table, {{"identifikator", T("o'neil-1")}, {"pin_kod", T("4")}}); // saved just before
    source.insert(i::table, {{"identifikator", T("Čierny")}, {"pin_kod", T("5")}});
    EXPECT_EQ(run(i::table), Counts(2, 2, 0)); // the target's key would refuse what the test missed
    EXPECT_EQ(target.column(i::table, "identifikator"),
              (std::vector<jet::Value>{T("AB12"), T("O'Neil-1"), T("Čierny")}));
    EXPECT_EQ(target.column(i::table, "pin_kod"), (std::vector<jet::Value>{T("1"), T("3"), T("5")}));
}

TEST_F(RowCopy, OwningRowWithoutAKeyIsCopiedButNotMapped) {
    source.dropPrimaryKey(s::zvuky::table);
    source.insert(s::zvuky::table, {{"id_zvuku", Null}, {"popis", T("a")}});
    source.insert(s::zvuky::table, {{"id_zvuku", I(7)}, {"popis", T("b")}});
    EXPECT_EQ(run(s::zvuky::table), Counts(2, 0, 0));
    EXPECT_EQ(target.column(s::zvuky::table, "id_zvuku"), (std::vector<jet::Value>{I(1), I(2)}));
    ASSERT_EQ(maps.colRefZvuk.entries().size(), 1u);
    EXPECT_EQ(maps.MapZvuk(7), 2);
}

TEST_F(RowCopy, OwningRowLosesOnlyTheValueItsTargetColumnCannotHold) {
    // A target whose description column is shorter than the source's.
    target.setTextLength(s::zvuky::table, "popis", 4);
    target.insert(s::zvuky::table, {{"id_zvuku", I(1)}, {"popis", T("zvon")}});
    source.insert(s::zvuky::table, {{"id_zvuku", I(1)}, {"popis", T("dlhý popis")}, {"fname_zvukoveho_suboru", T("a.wav")}});
    source.insert(s::zvuky::table, {{"id_zvuku", I(2)}, {"popis", T("gong")}});
    EXPECT_EQ(run(s::zvuky::table), Counts(2, 0, 0));
    EXPECT_EQ(target.column(s::zvuky::table, "popis"), (std::vector<jet::Value>{T("zvon"), Null, T("gong")}));
    EXPECT_EQ(target.column(s::zvuky::table, "fname_zvukoveho_suboru"), (std::vector<jet::Value>{Null, T("a.wav"), Null}));
    EXPECT_EQ(entriesOf(maps.colRefZvuk), (MapEntries{{1, 2}, {2, 3}}));
}

TEST_F(RowCopy, KeysNeverWrapPastTheLargest32BitInteger) {
    target.insert(s::zvuky::table, {{"id_zvuku", I(std::numeric_limits<std::int32_t>::max() - 1)}});
    for (int k = 1; k <= 3; ++k) source.insert(s::zvuky::table, {{"id_zvuku", I(k)}});
    EXPECT_EQ(run(s::zvuky::table), Counts(1, 0, 2));
    EXPECT_EQ(maps.MapZvuk(1), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(maps.MapZvuk(2), 0);
}

// The fixture's narrow target: a flat number of two characters, a floor
// that takes a byte. An identifier too long for its column is emptied too,
// and the row then lacks its key: refused, its other losses not counted.
TEST(RowCopyFiles, ValuesANarrowerTargetCannotHoldAreLeftEmpty) {
    namespace i = s::identifikatory;
    PlanFixture f("narrow.mdb");
    f.target.setTextLength(i::table, "identifikator", 2);
    f.source.insert(i::table, {{"identifikator", T("A")}, {"cislo_bytu", T("12")}, {"poschodie", I(255)}});
    f.source.insert(i::table, {{"identifikator", T("B")}, {"cislo_bytu", T("12a")}, {"poschodie", I(256)}});
    f.source.insert(i::table, {{"identifikator", T("C")}, {"cislo_bytu", T("č")}, {"poschodie", I(-1)}});
    f.source.insert(i::table, {{"identifikator", T("DDD")}, {"cislo_bytu", T("123")}, {"poschodie", I(1)}});
    StepCounts counts;
    ASSERT_TRUE(copyStep(f, i::table, &counts).ok());
    EXPECT_EQ(Counts(counts.copied, counts.skipped, counts.refused), Counts(3, 0, 1));
    EXPECT_EQ(counts.emptied, (std::vector<std::pair<std::string, int>>{{"cislo_bytu", 1}, {"poschodie", 2}}));
    EXPECT_EQ(f.target.column(i::table, "cislo_bytu"), (std::vector<jet::Value>{T("12"), Null, T("č")}));
    EXPECT_EQ(f.target.column(i::table, "poschodie"), (std::vector<jet::Value>{I(255), Null, Null}));
}

TEST(RowCopyFiles, TableMissingOnEitherSideEndsTheStepWithoutRows) {
    for (bool inSource : {true, false}) {
        SCOPED_TRACE(inSource ? "missing in the source" : "missing in the target");
        PlanFixture f;
        f.maps.colRefZariadenie.append({1, 1});
        f.source.insert(s::mek_schranky::table, {{"id_zariadenia", I(1)}, {"index_schranky", I(1)}});
        (inSource ? f.source : f.target).renameTable(s::mek_schranky::table, "mek_schrankx");
        StepCounts counts;
        EXPECT_TRUE(copyStep(f, s::mek_schranky::table, &counts).ok());
        EXPECT_EQ(counts.copied + counts.skipped + counts.refused, 0);
        EXPECT_EQ(f.target.rows(inSource ? s::mek_schranky::table : "mek_schrankx"), 0u);
    }
}

} // namespace
} // namespace merge
