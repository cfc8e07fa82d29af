// One table step at a time, on a source and a target file made from the
// empty server database: the key numbering, the device filter, references
// of another type, values a narrower target cannot hold. Every step's
// specials are checked row by row by the whole-merge tests.
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

} // namespace
} // namespace merge
