#include "merge/plan.h"

#include "schema/catalogue.h"

namespace merge {

namespace {

namespace s = schema;

Step dependent(std::string_view table, std::vector<Reference> references) {
    Step step;
    step.table = table;
    step.references = std::move(references);
    return step;
}

Step byDevice(std::string_view table, std::string_view deviceColumn) {
    return dependent(table, {{deviceColumn, MapKind::Zariadenie, true}});
}

Step owning(std::string_view table, std::string_view key, MapKind fills) {
    Step step;
    step.table = table;
    step.kind = RowKind::Owning;
    step.ownKey = key;
    step.fills = fills;
    return step;
}

std::vector<Step> buildPlan() {
    std::vector<Step> plan;
    Step devices = owning(s::zariadenia::table, s::zariadenia::id_zariadenia, MapKind::Zariadenie);
    devices.setTrue = s::zariadenia::flag_offline;
    devices.filterColumn = s::zariadenia::typ_zariadenia;
    devices.filterExcluded = {0, 10, 12};
    plan.push_back(devices);
    plan.push_back(byDevice(s::parametre_zariadeni::table, s::parametre_zariadeni::id_zariadenia));
    plan.push_back(byDevice(s::casove_zony_zariadeni::table, s::casove_zony_zariadeni::id_zariadenia));
    plan.push_back(owning(s::skupiny_majitelov_identifikatorov::table, s::skupiny_majitelov_identifikatorov::id_skupiny,
                          MapKind::Skupina));
    plan.push_back(owning(s::zvuky::table, s::zvuky::id_zvuku, MapKind::Zvuk));

    Step identifiers;
    identifiers.table = s::identifikatory::table;
    identifiers.kind = RowKind::Identifier;
    identifiers.identifier = s::identifikatory::identifikator;
    plan.push_back(identifiers);

    plan.push_back(dependent(s::pozadovane_identifikatory_v_skupinach::table,
                             {{s::pozadovane_identifikatory_v_skupinach::id_skupiny, MapKind::Skupina, true}}));
    plan.push_back(byDevice(s::pozadovane_identifikatory_priamo_na_zariadeniach::table,
                            s::pozadovane_identifikatory_priamo_na_zariadeniach::id_zariadenia));
    namespace dovpi = s::dialkove_otvorenie_vyvolane_pouzitim_identifikatora;
    plan.push_back(dependent(dovpi::table, {{dovpi::id_zariadenia_na_otvorenie, MapKind::Zariadenie, true},
                                            {dovpi::id_zariadenia_vyvolajuce, MapKind::Zariadenie, true}}));

    Step remote = owning(s::dialkove_ovladanie_zariadeni::table,
                         s::dialkove_ovladanie_zariadeni::id_dialkoveho_ovladania, MapKind::None);
    remote.references = {{s::dialkove_ovladanie_zariadeni::id_zariadenia, MapKind::Zariadenie, true}};
    plan.push_back(remote);

    plan.push_back(dependent(s::hlasove_vyzvy::table, {{s::hlasove_vyzvy::id_zariadenia, MapKind::Zariadenie, false},
                                                       {s::hlasove_vyzvy::id_zvuku, MapKind::Zvuk, true}}));
    plan.push_back(byDevice(s::mek_schranky::table, s::mek_schranky::id_zariadenia));

    Step patrols = owning(s::obchodzky::table, s::obchodzky::id, MapKind::Obchodzka);
    patrols.references = {{s::obchodzky::id_skupiny_obchodzkarov, MapKind::Skupina, true}};
    plan.push_back(patrols);
    plan.push_back(owning(s::objednavaci_system::table, s::objednavaci_system::id_objednavky, MapKind::Objednavka));

    plan.push_back(byDevice(s::pozadovane_casove_zony_identifikatorov_na_zariadeniach::table,
                            s::pozadovane_casove_zony_identifikatorov_na_zariadeniach::id_zariadenia));
    plan.push_back(byDevice(s::pozadovane_identifikatory_vo_vytahoch::table,
                            s::pozadovane_identifikatory_vo_vytahoch::id_zariadenia));
    plan.push_back(byDevice(s::pozadovane_releidentifikatory_na_zariadeniach::table,
                            s::pozadovane_releidentifikatory_na_zariadeniach::id_zariadenia));
    plan.push_back(dependent(s::ref_obchodzky_zariadenia::table,
                             {{s::ref_obchodzky_zariadenia::id_zariadenia, MapKind::Zariadenie, true},
                              {s::ref_obchodzky_zariadenia::id_obchodzky, MapKind::Obchodzka, false}}));
    plan.push_back(dependent(s::ref_objednavaci_system_identifikator::table,
                             {{s::ref_objednavaci_system_identifikator::id_objednavky, MapKind::Objednavka, true}}));
    plan.push_back(dependent(s::ref_objednavaci_system_zariadenie::table,
                             {{s::ref_objednavaci_system_zariadenie::id_zariadenia, MapKind::Zariadenie, true},
                              {s::ref_objednavaci_system_zariadenie::id_objednavky, MapKind::Objednavka, true}}));
    plan.push_back(dependent(s::ref_skupina_zariadenie::table,
                             {{s::ref_skupina_zariadenie::id_zariadenia, MapKind::Zariadenie, true},
                              {s::ref_skupina_zariadenie::id_skupiny, MapKind::Skupina, true}}));
    plan.push_back(byDevice(s::downloadovane_casove_zony::table, s::downloadovane_casove_zony::id_zariadenia));
    plan.push_back(byDevice(s::downloadovane_casove_zony_identifikatorov_na_zariadeniach::table,
                            s::downloadovane_casove_zony_identifikatorov_na_zariadeniach::id_zariadenia));
    plan.push_back(byDevice(s::downloadovane_identifikatory::table, s::downloadovane_identifikatory::id_zariadenia));
    plan.push_back(byDevice(s::downloadovane_identifikatory_vo_vytahoch::table,
                            s::downloadovane_identifikatory_vo_vytahoch::id_zariadenia));
    plan.push_back(
        byDevice(s::downloadovane_parametre_zariadeni::table, s::downloadovane_parametre_zariadeni::id_zariadenia));
    plan.push_back(
        byDevice(s::downloadovane_releidentifikatory::table, s::downloadovane_releidentifikatory::id_zariadenia));
    return plan;
}

} // namespace

const std::vector<Step>& importPlan() {
    static const std::vector<Step> plan = buildPlan();
    return plan;
}

} // namespace merge
