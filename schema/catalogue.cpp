#include "schema/catalogue.h"

namespace schema {
namespace {

constexpr TableInfo kTables[] = {
    alarmy::info,
    casove_zony_zariadeni::info,
    cis_typy_zariadeni::info,
    dds_kody_na_zaznamenanie::info,
    dialkove_otvorenie_vyvolane_pouzitim_identifikatora::info,
    dialkove_ovladanie_zariadeni::info,
    downloadovane_casove_zony::info,
    downloadovane_casove_zony_identifikatorov_na_zariadeniach::info,
    downloadovane_identifikatory::info,
    downloadovane_identifikatory_vo_vytahoch::info,
    downloadovane_parametre_zariadeni::info,
    downloadovane_releidentifikatory::info,
    garazovy_modul_aktualne_identifikatory::info,
    garazovy_semafor_priradene_skupiny::info,
    hlasove_vyzvy::info,
    identifikatory::info,
    ini_subor::info,
    kamera_zaznamnik::info,
    kody_udalosti::info,
    mek_schranky::info,
    najnovsie_udalosti::info,
    obchodzky::info,
    objednavaci_system::info,
    parametre_zariadeni::info,
    pozadovane_casove_zony_identifikatorov_na_zariadeniach::info,
    pozadovane_identifikatory_priamo_na_zariadeniach::info,
    pozadovane_identifikatory_v_skupinach::info,
    pozadovane_identifikatory_vo_vytahoch::info,
    pozadovane_releidentifikatory_na_zariadeniach::info,
    pritomnost::info,
    ref_identifikator_dochadzkove_zaznamy::info,
    ref_obchodzky_zariadenia::info,
    ref_objednavaci_system_identifikator::info,
    ref_objednavaci_system_zariadenie::info,
    ref_skupina_zariadenie::info,
    ref_udalosti_dds::info,
    ref_udalosti_identifikator::info,
    ref_udalosti_kamera::info,
    ref_udalosti_mek::info,
    ref_udalosti_poznamky::info,
    ref_zony_online_sledovania_zariadenie::info,
    ref_zony_pritomnosti_zariadenia::info,
    skupiny_majitelov_identifikatorov::info,
    udalosti::info,
    zariadenia::info,
    zony_online_sledovania::info,
    zony_pritomnosti::info,
    zvuky::info,
};

} // namespace

std::span<const TableInfo> tables() { return kTables; }

} // namespace schema
