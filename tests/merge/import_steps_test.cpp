// The steps of a run on two database files made from the empty server
// database: the edges of the key numbering, and a target or an engine that
// fails the run. Whole runs are checked by the whole-merge tests.
#include <gtest/gtest.h>

#include <limits>
#include <set>

#include "merge/import_run.h"
#include "support/database.h"
#include "support/merge_fixture.h"
#include "schema/catalogue.h"
#include "support/fault_file_layer.h"

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
// An old key 0 maps like any other.
TEST_F(ImportSteps, NewKeysSkipZeroAndNeverWrap) {
    source.insert(s::zvuky::table, {{"id_zvuku", I(5)}});
    source.insert(s::zvuky::table, {{"id_zvuku", I(0)}});
    run();
    EXPECT_EQ(maps.MapZvuk(5), 1);
    EXPECT_EQ(maps.MapZvuk(0), 2);

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

// A source table the plan cannot read, missing or without a column a step
// reads (a filter, an own key that fills a map, references), is named in the
// outcome; the other steps copy their rows.
TEST_F(ImportSteps, UnreadableSourceTablesAreNamedAndTheOthersCopied) {
    source.insert(s::zvuky::table, {{"id_zvuku", I(1)}});
    source.insert(s::zariadenia::table, {{"id_zariadenia", I(1)}, {"typ_zariadenia", I(1)}});
    source.renameColumn(s::zariadenia::table, "typ_zariadenia", "typ_zariadenix");
    source.renameColumn(s::hlasove_vyzvy::table, "id_zvuku", "id_zvukx");
    source.renameTable(s::mek_schranky::table, "mek_schrankx");
    source.renameColumn(s::objednavaci_system::table, "id_objednavky", "id_objednavkx");
    source.renameColumn(s::ref_objednavaci_system_zariadenie::table, "id_objednavky", "xd_objednavky");
    source.renameColumn(s::ref_objednavaci_system_zariadenie::table, "id_zariadenia", "xd_zariadenia");
    const ImportResult result = run();
    EXPECT_EQ(result.outcome, "Import bol dokončený, ale zo zdrojového súboru sa nedali prečítať niektoré tabuľky:\r\n"
                              "zariadenia: chýba stĺpec typ_zariadenia\r\nhlasove_vyzvy: chýba stĺpec id_zvuku\r\n"
                              "mek_schranky: tabuľka chýba\r\nobjednavaci_system: chýba stĺpec id_objednavky\r\n"
                              "ref_objednavaci_system_zariadenie: chýbajú stĺpce id_zariadenia, id_objednavky");
    EXPECT_EQ(result.outcomeFlags, mb::Exclamation);
    EXPECT_FALSE(result.succeeded);
    EXPECT_EQ(result.steps.at(0).copied, 0);
    EXPECT_EQ(result.steps.at(4).copied, 1);
    EXPECT_EQ(maps.MapZvuk(1), 1);
}

// Fields go by name. A source table whose fields lie as the target's but
// lack one leaves that one empty; one whose fields lie in another order fills
// each from the field of its name, and an optional reference a row leaves
// empty stays empty after a row that had one.
TEST_F(ImportSteps, FieldsGoByNameWhereverTheyLie) {
    namespace hv = s::hlasove_vyzvy;
    const jet::Value from = jet::DateTime{40000.5}, to = jet::DateTime{40100.25};
    source.insert(s::zvuky::table, {{"id_zvuku", I(7)}, {"popis", jet::Value(u"zvonček")}, {"fname_zvukoveho_suboru", jet::Value(u"a.wav")}});
    source.insert(s::zariadenia::table, {{"id_zariadenia", I(3)}, {"typ_zariadenia", I(1)}});
    source.insert(hv::table, {{"id_zvuku", I(7)}, {"id_zariadenia", I(3)}, {"datum_od", from}, {"datum_do", to}});
    source.insert(hv::table, {{"id_zvuku", I(7)}, {"datum_od", from}, {"datum_do", to}});
    source.renameColumn(s::zvuky::table, "popis", "popix");
    source.renameColumn(hv::table, "datum_od", "datum_xx");
    source.renameColumn(hv::table, "datum_do", "datum_od");
    source.renameColumn(hv::table, "datum_xx", "datum_do");
    ASSERT_TRUE(run().succeeded);

    std::unique_ptr<jet::Database> db;
    ASSERT_TRUE(jet::Database::open(target.path().string(), jet::Pager::Mode::ReadOnly, &db).ok());
    auto zvuky = test_db::openTable(*db, std::string(s::zvuky::table));
    const auto sounds = test_db::readAll(*db, std::string(s::zvuky::table));
    ASSERT_EQ(sounds.size(), 1u);
    EXPECT_EQ(sounds[0][test_db::columnAt(*zvuky, "fname_zvukoveho_suboru")], jet::Value(u"a.wav"));
    EXPECT_TRUE(jet::isNull(sounds[0][test_db::columnAt(*zvuky, "popis")]));
    auto vyzvy = test_db::openTable(*db, std::string(hv::table));
    const auto calls = test_db::readAll(*db, std::string(hv::table));
    ASSERT_EQ(calls.size(), 2u);
    const std::size_t device = test_db::columnAt(*vyzvy, "id_zariadenia");
    EXPECT_EQ(calls[0][device], jet::Value(I(1)));
    EXPECT_TRUE(jet::isNull(calls[1][device]));
    for (const auto& call : calls) {
        EXPECT_EQ(call[test_db::columnAt(*vyzvy, "datum_od")], to);
        EXPECT_EQ(call[test_db::columnAt(*vyzvy, "datum_do")], from);
        EXPECT_EQ(call[test_db::columnAt(*vyzvy, "id_zvuku")], jet::Value(I(1)));
    }
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

// The target's disk fails at any change of the run, once (the run is rolled
// back), or for good (the machine stopped: nothing can be taken back). Before
// the commit record the outcome says the target is unchanged, or that the
// changes could not be taken back (the next open then decides); after it,
// that the import is saved. The next open of the target makes that true.
TEST_F(ImportSteps, FailureAtAnyChangeIsToldAsItIs) {
    source.insert(s::zvuky::table, {{"id_zvuku", I(1)}});
    target.close();
    const std::string path = target.path().string();
    const Bytes before = readAll(target.path());
    const std::vector<std::string> heads = {
        "Import zlyhal, cieľový súbor zostal nezmenený:", "Import zlyhal a jeho zmeny sa nepodarilo vrátiť;",
        "Import je uložený, ale do cieľového súboru sa ešte nezapísal celý;"};
    std::set<std::size_t> told;
    for (bool stops : {false, true}) {
        for (std::uint64_t k = 0;; ++k) {
            auto disk = std::make_shared<jet::FaultFileLayer>(), next = std::make_shared<jet::FaultFileLayer>();
            disk->put(path, before);
            jet::OpenOptions options;
            options.file = disk;
            std::unique_ptr<Database> to, from = openForMerge(source);
            ASSERT_TRUE(openDatabase(path, &to, jet::OpenMode::Exclusive, options).ok());
            stops ? disk->crashAfter(k) : disk->failAfter(k);
            ImportResult result;
            runImportSteps(*to, *from, maps, ui, &result);
            to.reset();
            if (result.succeeded) break;
            std::size_t head = 0;
            while (head < heads.size() && result.outcome.rfind(heads[head], 0) != 0) ++head;
            ASSERT_LT(head, heads.size()) << result.outcome;
            told.insert(head);
            const bool saved = head == 2;
            EXPECT_EQ(result.steps.size(), saved ? 27u : 0u) << result.outcome;
            for (const auto& [name, bytes] : disk->disk([] { return true; })) next->put(name, bytes);
            options.file = next;
            ASSERT_TRUE(openDatabase(path, &to, jet::OpenMode::Exclusive, options).ok());
            to.reset();
            if (head != 1) {
                EXPECT_EQ(*next->content(path) == before, !saved) << result.outcome << ", change " << k;
            }
        }
    }
    EXPECT_EQ(told.size(), heads.size());
}

} // namespace
} // namespace merge
