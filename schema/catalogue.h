// Names the merge knows in the server's database files: one constant per
// table and per qualified column (table, ".", column), and the database
// property names. Column constants are spelled in lower case; the engine
// matches names without regard to letter case (the files spell a few of the
// garazovy_* columns in mixed case, as IdZariadenia).
//
// Each table's namespace ends with its description: its columns, built from
// the constants above it, the columns of its unique index (the primary key
// in the server's files, in index order) and the import step that merges it.
#pragma once

#include <span>
#include <string_view>

namespace schema {

// Database properties.
inline constexpr std::string_view TABLES_VERSION = "TABLES_VERSION";
inline constexpr std::string_view STAV_OTVORENIA_DB = "STAV_OTVORENIA_DB";
// The schema version both files of a merge must carry.
inline constexpr std::string_view kRequiredVersion = "Tarvexon 3.162";

// A table's description.
struct TableInfo {
    std::string_view name;
    int step;                                    // in the import plan, from 1; kNotImported for the others
    std::span<const std::string_view> columns;   // qualified, every column once
    std::span<const std::string_view> uniqueKey; // qualified; empty: no unique index
};
inline constexpr int kNotImported = 0;

namespace alarmy {
inline constexpr std::string_view table = "alarmy";
inline constexpr std::string_view datumcas = "alarmy.datumcas";
inline constexpr std::string_view flag_aktivny = "alarmy.flag_aktivny";
inline constexpr std::string_view flag_potvrdeny = "alarmy.flag_potvrdeny";
inline constexpr std::string_view flag_vymazat_po_potvrdeni = "alarmy.flag_vymazat_po_potvrdeni";
inline constexpr std::string_view id_zariadenia = "alarmy.id_zariadenia";
inline constexpr std::string_view poznamky = "alarmy.poznamky";
inline constexpr std::string_view typ_alarmu = "alarmy.typ_alarmu";
inline constexpr std::string_view columns[] = {datumcas,      flag_aktivny, flag_potvrdeny, flag_vymazat_po_potvrdeni,
                                               id_zariadenia, poznamky,     typ_alarmu};
inline constexpr TableInfo info = {table, kNotImported, columns, {}};
} // namespace alarmy

namespace casove_zony_zariadeni {
inline constexpr std::string_view table = "casove_zony_zariadeni";
inline constexpr std::string_view bitmap_pozicia_0_7 = "casove_zony_zariadeni.bitmap_pozicia_0_7";
inline constexpr std::string_view do_minuty = "casove_zony_zariadeni.do_minuty";
inline constexpr std::string_view flag_dvere_otvorene = "casove_zony_zariadeni.flag_dvere_otvorene";
inline constexpr std::string_view flag_zakazany_vstup = "casove_zony_zariadeni.flag_zakazany_vstup";
inline constexpr std::string_view flag_zakazany_vystup = "casove_zony_zariadeni.flag_zakazany_vystup";
inline constexpr std::string_view id_zariadenia = "casove_zony_zariadeni.id_zariadenia";
inline constexpr std::string_view kod_typu_dna = "casove_zony_zariadeni.kod_typu_dna";
inline constexpr std::string_view od_minuty = "casove_zony_zariadeni.od_minuty";
inline constexpr std::string_view columns[] = {
    bitmap_pozicia_0_7,   do_minuty,     flag_dvere_otvorene, flag_zakazany_vstup,
    flag_zakazany_vystup, id_zariadenia, kod_typu_dna,        od_minuty};
inline constexpr TableInfo info = {table, 3, columns, {}};
} // namespace casove_zony_zariadeni

namespace cis_typy_zariadeni {
inline constexpr std::string_view table = "cis_typy_zariadeni";
inline constexpr std::string_view nazov = "cis_typy_zariadeni.nazov";
inline constexpr std::string_view typ_zariadenia = "cis_typy_zariadeni.typ_zariadenia";
inline constexpr std::string_view columns[] = {nazov, typ_zariadenia};
inline constexpr std::string_view uniqueKey[] = {typ_zariadenia};
inline constexpr TableInfo info = {table, kNotImported, columns, uniqueKey};
} // namespace cis_typy_zariadeni

namespace dds_kody_na_zaznamenanie {
inline constexpr std::string_view table = "dds_kody_na_zaznamenanie";
inline constexpr std::string_view kod_dds = "dds_kody_na_zaznamenanie.kod_dds";
inline constexpr std::string_view columns[] = {kod_dds};
inline constexpr std::string_view uniqueKey[] = {kod_dds};
inline constexpr TableInfo info = {table, kNotImported, columns, uniqueKey};
} // namespace dds_kody_na_zaznamenanie

namespace dialkove_otvorenie_vyvolane_pouzitim_identifikatora {
inline constexpr std::string_view table = "dialkove_otvorenie_vyvolane_pouzitim_identifikatora";
inline constexpr std::string_view id = "dialkove_otvorenie_vyvolane_pouzitim_identifikatora.id";
inline constexpr std::string_view id_zariadenia_na_otvorenie =
    "dialkove_otvorenie_vyvolane_pouzitim_identifikatora.id_zariadenia_na_otvorenie";
inline constexpr std::string_view id_zariadenia_vyvolajuce =
    "dialkove_otvorenie_vyvolane_pouzitim_identifikatora.id_zariadenia_vyvolajuce";
inline constexpr std::string_view identifikator = "dialkove_otvorenie_vyvolane_pouzitim_identifikatora.identifikator";
inline constexpr std::string_view columns[] = {id, id_zariadenia_na_otvorenie, id_zariadenia_vyvolajuce, identifikator};
inline constexpr std::string_view uniqueKey[] = {id};
inline constexpr TableInfo info = {table, 9, columns, uniqueKey};
} // namespace dialkove_otvorenie_vyvolane_pouzitim_identifikatora

namespace dialkove_ovladanie_zariadeni {
inline constexpr std::string_view table = "dialkove_ovladanie_zariadeni";
inline constexpr std::string_view id_dialkoveho_ovladania = "dialkove_ovladanie_zariadeni.id_dialkoveho_ovladania";
inline constexpr std::string_view id_zariadenia = "dialkove_ovladanie_zariadeni.id_zariadenia";
inline constexpr std::string_view kod_prikazu = "dialkove_ovladanie_zariadeni.kod_prikazu";
inline constexpr std::string_view parametre_prikazu = "dialkove_ovladanie_zariadeni.parametre_prikazu";
inline constexpr std::string_view shortcut_cifra = "dialkove_ovladanie_zariadeni.shortcut_cifra";
inline constexpr std::string_view columns[] = {id_dialkoveho_ovladania, id_zariadenia, kod_prikazu, parametre_prikazu,
                                               shortcut_cifra};
inline constexpr std::string_view uniqueKey[] = {id_dialkoveho_ovladania};
inline constexpr TableInfo info = {table, 10, columns, uniqueKey};
} // namespace dialkove_ovladanie_zariadeni

namespace downloadovane_casove_zony {
inline constexpr std::string_view table = "downloadovane_casove_zony";
inline constexpr std::string_view bitmap_pozicia_0_7 = "downloadovane_casove_zony.bitmap_pozicia_0_7";
inline constexpr std::string_view do_minuty = "downloadovane_casove_zony.do_minuty";
inline constexpr std::string_view flag_dvere_otvorene = "downloadovane_casove_zony.flag_dvere_otvorene";
inline constexpr std::string_view flag_zakazany_vstup = "downloadovane_casove_zony.flag_zakazany_vstup";
inline constexpr std::string_view flag_zakazany_vystup = "downloadovane_casove_zony.flag_zakazany_vystup";
inline constexpr std::string_view id_zariadenia = "downloadovane_casove_zony.id_zariadenia";
inline constexpr std::string_view kod_typu_dna = "downloadovane_casove_zony.kod_typu_dna";
inline constexpr std::string_view od_minuty = "downloadovane_casove_zony.od_minuty";
inline constexpr std::string_view columns[] = {
    bitmap_pozicia_0_7,   do_minuty,     flag_dvere_otvorene, flag_zakazany_vstup,
    flag_zakazany_vystup, id_zariadenia, kod_typu_dna,        od_minuty};
inline constexpr TableInfo info = {table, 22, columns, {}};
} // namespace downloadovane_casove_zony

namespace downloadovane_casove_zony_identifikatorov_na_zariadeniach {
inline constexpr std::string_view table = "downloadovane_casove_zony_identifikatorov_na_zariadeniach";
inline constexpr std::string_view den_v_tyzdni =
    "downloadovane_casove_zony_identifikatorov_na_zariadeniach.den_v_tyzdni";
inline constexpr std::string_view do_v_10_min = "downloadovane_casove_zony_identifikatorov_na_zariadeniach.do_v_10_min";
inline constexpr std::string_view id_zariadenia =
    "downloadovane_casove_zony_identifikatorov_na_zariadeniach.id_zariadenia";
inline constexpr std::string_view identifikator =
    "downloadovane_casove_zony_identifikatorov_na_zariadeniach.identifikator";
inline constexpr std::string_view od_v_10_min = "downloadovane_casove_zony_identifikatorov_na_zariadeniach.od_v_10_min";
inline constexpr std::string_view columns[] = {den_v_tyzdni, do_v_10_min, id_zariadenia, identifikator, od_v_10_min};
inline constexpr TableInfo info = {table, 23, columns, {}};
} // namespace downloadovane_casove_zony_identifikatorov_na_zariadeniach

namespace downloadovane_identifikatory {
inline constexpr std::string_view table = "downloadovane_identifikatory";
inline constexpr std::string_view bitpole_casovych_zon = "downloadovane_identifikatory.bitpole_casovych_zon";
inline constexpr std::string_view id_zariadenia = "downloadovane_identifikatory.id_zariadenia";
inline constexpr std::string_view identifikator = "downloadovane_identifikatory.identifikator";
inline constexpr std::string_view pin_kod = "downloadovane_identifikatory.pin_kod";
inline constexpr std::string_view columns[] = {bitpole_casovych_zon, id_zariadenia, identifikator, pin_kod};
inline constexpr std::string_view uniqueKey[] = {id_zariadenia, identifikator};
inline constexpr TableInfo info = {table, 24, columns, uniqueKey};
} // namespace downloadovane_identifikatory

namespace downloadovane_identifikatory_vo_vytahoch {
inline constexpr std::string_view table = "downloadovane_identifikatory_vo_vytahoch";
inline constexpr std::string_view id_zariadenia = "downloadovane_identifikatory_vo_vytahoch.id_zariadenia";
inline constexpr std::string_view identifikator = "downloadovane_identifikatory_vo_vytahoch.identifikator";
inline constexpr std::string_view relativne_poschodie = "downloadovane_identifikatory_vo_vytahoch.relativne_poschodie";
inline constexpr std::string_view columns[] = {id_zariadenia, identifikator, relativne_poschodie};
inline constexpr TableInfo info = {table, 25, columns, {}};
} // namespace downloadovane_identifikatory_vo_vytahoch

namespace downloadovane_parametre_zariadeni {
inline constexpr std::string_view table = "downloadovane_parametre_zariadeni";
inline constexpr std::string_view flag_blokovanie_alarmu = "downloadovane_parametre_zariadeni.flag_blokovanie_alarmu";
inline constexpr std::string_view flag_nezaznamenat_udalosti_s_identifikatormi =
    "downloadovane_parametre_zariadeni.flag_nezaznamenat_udalosti_s_identifikatormi";
inline constexpr std::string_view flag_opakovany_alarm = "downloadovane_parametre_zariadeni.flag_opakovany_alarm";
inline constexpr std::string_view flag_ponuknut_pri_generovani_dochadzky =
    "downloadovane_parametre_zariadeni.flag_ponuknut_pri_generovani_dochadzky";
inline constexpr std::string_view flag_povolit_otvorenie_externym_tlacidlom =
    "downloadovane_parametre_zariadeni.flag_povolit_otvorenie_externym_tlacidlom";
inline constexpr std::string_view flag_povolit_upozornenie_za_nezatvorene_dvere =
    "downloadovane_parametre_zariadeni.flag_povolit_upozornenie_za_nezatvorene_dvere";
inline constexpr std::string_view flag_zaznamenat_udalosti_zatvorenia =
    "downloadovane_parametre_zariadeni.flag_zaznamenat_udalosti_zatvorenia";
inline constexpr std::string_view heslo = "downloadovane_parametre_zariadeni.heslo";
inline constexpr std::string_view id_zariadenia = "downloadovane_parametre_zariadeni.id_zariadenia";
inline constexpr std::string_view impulzomer_cena_za_jednotku =
    "downloadovane_parametre_zariadeni.impulzomer_cena_za_jednotku";
inline constexpr std::string_view impulzomer_jednotka = "downloadovane_parametre_zariadeni.impulzomer_jednotka";
inline constexpr std::string_view impulzomer_vaha_impulzu = "downloadovane_parametre_zariadeni.impulzomer_vaha_impulzu";
inline constexpr std::string_view kamera_kod_modu = "downloadovane_parametre_zariadeni.kamera_kod_modu";
inline constexpr std::string_view kamera_kod_rozlisenia = "downloadovane_parametre_zariadeni.kamera_kod_rozlisenia";
inline constexpr std::string_view kamera_kontinualne_fotenie_sec =
    "downloadovane_parametre_zariadeni.kamera_kontinualne_fotenie_sec";
inline constexpr std::string_view kamera_percento_naplnenia_pred_alarmom =
    "downloadovane_parametre_zariadeni.kamera_percento_naplnenia_pred_alarmom";
inline constexpr std::string_view kamera_zapnutie_vystupu_sec =
    "downloadovane_parametre_zariadeni.kamera_zapnutie_vystupu_sec";
inline constexpr std::string_view master_identifikator_1 = "downloadovane_parametre_zariadeni.master_identifikator_1";
inline constexpr std::string_view master_identifikator_2 = "downloadovane_parametre_zariadeni.master_identifikator_2";
inline constexpr std::string_view master_identifikator_3 = "downloadovane_parametre_zariadeni.master_identifikator_3";
inline constexpr std::string_view mek_inicializovat_zariadenie =
    "downloadovane_parametre_zariadeni.mek_inicializovat_zariadenie";
inline constexpr std::string_view typ_casovych_zon = "downloadovane_parametre_zariadeni.typ_casovych_zon";
inline constexpr std::string_view vytah_cas_pohybu_sec = "downloadovane_parametre_zariadeni.vytah_cas_pohybu_sec";
inline constexpr std::string_view vytah_najnizsie_poschodie =
    "downloadovane_parametre_zariadeni.vytah_najnizsie_poschodie";
inline constexpr std::string_view zamok_zatvaraci_cas_sec = "downloadovane_parametre_zariadeni.zamok_zatvaraci_cas_sec";
inline constexpr std::string_view columns[] = {flag_blokovanie_alarmu,
                                               flag_nezaznamenat_udalosti_s_identifikatormi,
                                               flag_opakovany_alarm,
                                               flag_ponuknut_pri_generovani_dochadzky,
                                               flag_povolit_otvorenie_externym_tlacidlom,
                                               flag_povolit_upozornenie_za_nezatvorene_dvere,
                                               flag_zaznamenat_udalosti_zatvorenia,
                                               heslo,
                                               id_zariadenia,
                                               impulzomer_cena_za_jednotku,
                                               impulzomer_jednotka,
                                               impulzomer_vaha_impulzu,
                                               kamera_kod_modu,
                                               kamera_kod_rozlisenia,
                                               kamera_kontinualne_fotenie_sec,
                                               kamera_percento_naplnenia_pred_alarmom,
                                               kamera_zapnutie_vystupu_sec,
                                               master_identifikator_1,
                                               master_identifikator_2,
                                               master_identifikator_3,
                                               mek_inicializovat_zariadenie,
                                               typ_casovych_zon,
                                               vytah_cas_pohybu_sec,
                                               vytah_najnizsie_poschodie,
                                               zamok_zatvaraci_cas_sec};
inline constexpr std::string_view uniqueKey[] = {id_zariadenia};
inline constexpr TableInfo info = {table, 26, columns, uniqueKey};
} // namespace downloadovane_parametre_zariadeni

namespace downloadovane_releidentifikatory {
inline constexpr std::string_view table = "downloadovane_releidentifikatory";
inline constexpr std::string_view id_zariadenia = "downloadovane_releidentifikatory.id_zariadenia";
inline constexpr std::string_view identifikator = "downloadovane_releidentifikatory.identifikator";
inline constexpr std::string_view index_rele = "downloadovane_releidentifikatory.index_rele";
inline constexpr std::string_view columns[] = {id_zariadenia, identifikator, index_rele};
inline constexpr std::string_view uniqueKey[] = {id_zariadenia, identifikator, index_rele};
inline constexpr TableInfo info = {table, 27, columns, uniqueKey};
} // namespace downloadovane_releidentifikatory

namespace garazovy_modul_aktualne_identifikatory {
inline constexpr std::string_view table = "garazovy_modul_aktualne_identifikatory";
inline constexpr std::string_view identifikator = "garazovy_modul_aktualne_identifikatory.identifikator";
inline constexpr std::string_view idskupiny = "garazovy_modul_aktualne_identifikatory.idskupiny";
inline constexpr std::string_view idzariadenia = "garazovy_modul_aktualne_identifikatory.idzariadenia";
inline constexpr std::string_view columns[] = {identifikator, idskupiny, idzariadenia};
inline constexpr TableInfo info = {table, kNotImported, columns, {}};
} // namespace garazovy_modul_aktualne_identifikatory

namespace garazovy_semafor_priradene_skupiny {
inline constexpr std::string_view table = "garazovy_semafor_priradene_skupiny";
inline constexpr std::string_view id_skupiny = "garazovy_semafor_priradene_skupiny.id_skupiny";
inline constexpr std::string_view id_zariadenia = "garazovy_semafor_priradene_skupiny.id_zariadenia";
inline constexpr std::string_view maxpocetparkovacichmiest =
    "garazovy_semafor_priradene_skupiny.maxpocetparkovacichmiest";
inline constexpr std::string_view pc_semaforu = "garazovy_semafor_priradene_skupiny.pc_semaforu";
inline constexpr std::string_view columns[] = {id_skupiny, id_zariadenia, maxpocetparkovacichmiest, pc_semaforu};
inline constexpr TableInfo info = {table, kNotImported, columns, {}};
} // namespace garazovy_semafor_priradene_skupiny

namespace hlasove_vyzvy {
inline constexpr std::string_view table = "hlasove_vyzvy";
inline constexpr std::string_view datum_do = "hlasove_vyzvy.datum_do";
inline constexpr std::string_view datum_od = "hlasove_vyzvy.datum_od";
inline constexpr std::string_view id_vyzvy = "hlasove_vyzvy.id_vyzvy";
inline constexpr std::string_view id_zariadenia = "hlasove_vyzvy.id_zariadenia";
inline constexpr std::string_view id_zvuku = "hlasove_vyzvy.id_zvuku";
inline constexpr std::string_view identifikator = "hlasove_vyzvy.identifikator";
inline constexpr std::string_view index_reproduktora = "hlasove_vyzvy.index_reproduktora";
inline constexpr std::string_view max_pocet_prehravani = "hlasove_vyzvy.max_pocet_prehravani";
inline constexpr std::string_view pocet_prehravani = "hlasove_vyzvy.pocet_prehravani";
inline constexpr std::string_view columns[] = {datum_do,        datum_od,      id_vyzvy,           id_zariadenia,
                                               id_zvuku,        identifikator, index_reproduktora, max_pocet_prehravani,
                                               pocet_prehravani};
inline constexpr std::string_view uniqueKey[] = {id_vyzvy};
inline constexpr TableInfo info = {table, 11, columns, uniqueKey};
} // namespace hlasove_vyzvy

namespace identifikatory {
inline constexpr std::string_view table = "identifikatory";
inline constexpr std::string_view cislo_bytu = "identifikatory.cislo_bytu";
inline constexpr std::string_view datum_prevzatia = "identifikatory.datum_prevzatia";
inline constexpr std::string_view datumcas_expiracie = "identifikatory.datumcas_expiracie";
inline constexpr std::string_view datumcas_vytvorenia = "identifikatory.datumcas_vytvorenia";
inline constexpr std::string_view dohodnuty_cas_pritomnosti_za_pracovny_den_minuty =
    "identifikatory.dohodnuty_cas_pritomnosti_za_pracovny_den_minuty";
inline constexpr std::string_view flag_existuje_hlasova_vyzva = "identifikatory.flag_existuje_hlasova_vyzva";
inline constexpr std::string_view flag_navsteva = "identifikatory.flag_navsteva";
inline constexpr std::string_view flag_nezahrnut_do_dochadzky = "identifikatory.flag_nezahrnut_do_dochadzky";
inline constexpr std::string_view flag_nezaznamenat_udalosti = "identifikatory.flag_nezaznamenat_udalosti";
inline constexpr std::string_view flag_pravo_na_hlasovanie = "identifikatory.flag_pravo_na_hlasovanie";
inline constexpr std::string_view flag_strateny = "identifikatory.flag_strateny";
inline constexpr std::string_view flag_vyvolat_alarm = "identifikatory.flag_vyvolat_alarm";
inline constexpr std::string_view fotka_subor = "identifikatory.fotka_subor";
inline constexpr std::string_view identifikator = "identifikatory.identifikator";
inline constexpr std::string_view max_hodin_pritomnosti_za_pracovny_den =
    "identifikatory.max_hodin_pritomnosti_za_pracovny_den";
inline constexpr std::string_view meno_majitela = "identifikatory.meno_majitela";
inline constexpr std::string_view min_hodin_pritomnosti_za_pracovny_den =
    "identifikatory.min_hodin_pritomnosti_za_pracovny_den";
inline constexpr std::string_view pin_kod = "identifikatory.pin_kod";
inline constexpr std::string_view poradove_cislo_pre_rovnake_meno = "identifikatory.poradove_cislo_pre_rovnake_meno";
inline constexpr std::string_view poschodie = "identifikatory.poschodie";
inline constexpr std::string_view poznamky = "identifikatory.poznamky";
inline constexpr std::string_view suhrnny_popis = "identifikatory.suhrnny_popis";
inline constexpr std::string_view typ_identifikatora = "identifikatory.typ_identifikatora";
inline constexpr std::string_view columns[] = {cislo_bytu,
                                               datum_prevzatia,
                                               datumcas_expiracie,
                                               datumcas_vytvorenia,
                                               dohodnuty_cas_pritomnosti_za_pracovny_den_minuty,
                                               flag_existuje_hlasova_vyzva,
                                               flag_navsteva,
                                               flag_nezahrnut_do_dochadzky,
                                               flag_nezaznamenat_udalosti,
                                               flag_pravo_na_hlasovanie,
                                               flag_strateny,
                                               flag_vyvolat_alarm,
                                               fotka_subor,
                                               identifikator,
                                               max_hodin_pritomnosti_za_pracovny_den,
                                               meno_majitela,
                                               min_hodin_pritomnosti_za_pracovny_den,
                                               pin_kod,
                                               poradove_cislo_pre_rovnake_meno,
                                               poschodie,
                                               poznamky,
                                               suhrnny_popis,
                                               typ_identifikatora};
inline constexpr std::string_view uniqueKey[] = {identifikator};
inline constexpr TableInfo info = {table, 6, columns, uniqueKey};
} // namespace identifikatory

namespace ini_subor {
inline constexpr std::string_view table = "ini_subor";
inline constexpr std::string_view hodnota = "ini_subor.hodnota";
inline constexpr std::string_view kluc = "ini_subor.kluc";
inline constexpr std::string_view sekcia = "ini_subor.sekcia";
inline constexpr std::string_view columns[] = {hodnota, kluc, sekcia};
inline constexpr std::string_view uniqueKey[] = {sekcia, kluc};
inline constexpr TableInfo info = {table, kNotImported, columns, uniqueKey};
} // namespace ini_subor

namespace kamera_zaznamnik {
inline constexpr std::string_view table = "kamera_zaznamnik";
inline constexpr std::string_view datumcas = "kamera_zaznamnik.datumcas";
inline constexpr std::string_view id_zariadenia = "kamera_zaznamnik.id_zariadenia";
inline constexpr std::string_view pc_v_zaznamniku_zariadenia = "kamera_zaznamnik.pc_v_zaznamniku_zariadenia";
inline constexpr std::string_view columns[] = {datumcas, id_zariadenia, pc_v_zaznamniku_zariadenia};
inline constexpr TableInfo info = {table, kNotImported, columns, {}};
} // namespace kamera_zaznamnik

namespace kody_udalosti {
inline constexpr std::string_view table = "kody_udalosti";
inline constexpr std::string_view kod_udalosti = "kody_udalosti.kod_udalosti";
inline constexpr std::string_view popis = "kody_udalosti.popis";
inline constexpr std::string_view columns[] = {kod_udalosti, popis};
inline constexpr std::string_view uniqueKey[] = {kod_udalosti};
inline constexpr TableInfo info = {table, kNotImported, columns, uniqueKey};
} // namespace kody_udalosti

namespace mek_schranky {
inline constexpr std::string_view table = "mek_schranky";
inline constexpr std::string_view datumcas_vybratia = "mek_schranky.datumcas_vybratia";
inline constexpr std::string_view id_zariadenia = "mek_schranky.id_zariadenia";
inline constexpr std::string_view identifikator_u_koho_je = "mek_schranky.identifikator_u_koho_je";
inline constexpr std::string_view index_schranky = "mek_schranky.index_schranky";
inline constexpr std::string_view popis_schranky = "mek_schranky.popis_schranky";
inline constexpr std::string_view stav_schranky = "mek_schranky.stav_schranky";
inline constexpr std::string_view columns[] = {datumcas_vybratia, id_zariadenia,  identifikator_u_koho_je,
                                               index_schranky,    popis_schranky, stav_schranky};
inline constexpr std::string_view uniqueKey[] = {id_zariadenia, index_schranky};
inline constexpr TableInfo info = {table, 12, columns, uniqueKey};
} // namespace mek_schranky

namespace najnovsie_udalosti {
inline constexpr std::string_view table = "najnovsie_udalosti";
inline constexpr std::string_view id_udalosti = "najnovsie_udalosti.id_udalosti";
inline constexpr std::string_view id_zariadenia = "najnovsie_udalosti.id_zariadenia";
inline constexpr std::string_view kod_udalosti = "najnovsie_udalosti.kod_udalosti";
inline constexpr std::string_view columns[] = {id_udalosti, id_zariadenia, kod_udalosti};
inline constexpr std::string_view uniqueKey[] = {id_zariadenia};
inline constexpr TableInfo info = {table, kNotImported, columns, uniqueKey};
} // namespace najnovsie_udalosti

namespace obchodzky {
inline constexpr std::string_view table = "obchodzky";
inline constexpr std::string_view id = "obchodzky.id";
inline constexpr std::string_view id_skupiny_obchodzkarov = "obchodzky.id_skupiny_obchodzkarov";
inline constexpr std::string_view max_cas_medzi_obchodzkami_minuty = "obchodzky.max_cas_medzi_obchodzkami_minuty";
inline constexpr std::string_view pomenovanie = "obchodzky.pomenovanie";
inline constexpr std::string_view poznamky = "obchodzky.poznamky";
inline constexpr std::string_view columns[] = {id, id_skupiny_obchodzkarov, max_cas_medzi_obchodzkami_minuty,
                                               pomenovanie, poznamky};
inline constexpr std::string_view uniqueKey[] = {id};
inline constexpr TableInfo info = {table, 13, columns, uniqueKey};
} // namespace obchodzky

namespace objednavaci_system {
inline constexpr std::string_view table = "objednavaci_system";
inline constexpr std::string_view datum_zaciatku_objednavky = "objednavaci_system.datum_zaciatku_objednavky";
inline constexpr std::string_view datumcas_generovania = "objednavaci_system.datumcas_generovania";
inline constexpr std::string_view hodina_do = "objednavaci_system.hodina_do";
inline constexpr std::string_view hodina_od = "objednavaci_system.hodina_od";
inline constexpr std::string_view id_objednavky = "objednavaci_system.id_objednavky";
inline constexpr std::string_view pomenovanie = "objednavaci_system.pomenovanie";
inline constexpr std::string_view report = "objednavaci_system.report";
inline constexpr std::string_view columns[] = {
    datum_zaciatku_objednavky, datumcas_generovania, hodina_do, hodina_od, id_objednavky, pomenovanie, report};
inline constexpr std::string_view uniqueKey[] = {id_objednavky};
inline constexpr TableInfo info = {table, 14, columns, uniqueKey};
} // namespace objednavaci_system

namespace parametre_zariadeni {
inline constexpr std::string_view table = "parametre_zariadeni";
inline constexpr std::string_view flag_blokovanie_alarmu = "parametre_zariadeni.flag_blokovanie_alarmu";
inline constexpr std::string_view flag_nezaznamenat_udalosti_s_identifikatormi =
    "parametre_zariadeni.flag_nezaznamenat_udalosti_s_identifikatormi";
inline constexpr std::string_view flag_opakovany_alarm = "parametre_zariadeni.flag_opakovany_alarm";
inline constexpr std::string_view flag_ponuknut_pri_generovani_dochadzky =
    "parametre_zariadeni.flag_ponuknut_pri_generovani_dochadzky";
inline constexpr std::string_view flag_povolit_otvorenie_externym_tlacidlom =
    "parametre_zariadeni.flag_povolit_otvorenie_externym_tlacidlom";
inline constexpr std::string_view flag_povolit_upozornenie_za_nezatvorene_dvere =
    "parametre_zariadeni.flag_povolit_upozornenie_za_nezatvorene_dvere";
inline constexpr std::string_view flag_zaznamenat_udalosti_zatvorenia =
    "parametre_zariadeni.flag_zaznamenat_udalosti_zatvorenia";
inline constexpr std::string_view heslo = "parametre_zariadeni.heslo";
inline constexpr std::string_view id_zariadenia = "parametre_zariadeni.id_zariadenia";
inline constexpr std::string_view impulzomer_cena_za_jednotku = "parametre_zariadeni.impulzomer_cena_za_jednotku";
inline constexpr std::string_view impulzomer_jednotka = "parametre_zariadeni.impulzomer_jednotka";
inline constexpr std::string_view impulzomer_vaha_impulzu = "parametre_zariadeni.impulzomer_vaha_impulzu";
inline constexpr std::string_view kamera_kod_modu = "parametre_zariadeni.kamera_kod_modu";
inline constexpr std::string_view kamera_kod_rozlisenia = "parametre_zariadeni.kamera_kod_rozlisenia";
inline constexpr std::string_view kamera_kontinualne_fotenie_sec = "parametre_zariadeni.kamera_kontinualne_fotenie_sec";
inline constexpr std::string_view kamera_percento_naplnenia_pred_alarmom =
    "parametre_zariadeni.kamera_percento_naplnenia_pred_alarmom";
inline constexpr std::string_view kamera_zapnutie_vystupu_sec = "parametre_zariadeni.kamera_zapnutie_vystupu_sec";
inline constexpr std::string_view master_identifikator_1 = "parametre_zariadeni.master_identifikator_1";
inline constexpr std::string_view master_identifikator_2 = "parametre_zariadeni.master_identifikator_2";
inline constexpr std::string_view master_identifikator_3 = "parametre_zariadeni.master_identifikator_3";
inline constexpr std::string_view mek_inicializovat_zariadenie = "parametre_zariadeni.mek_inicializovat_zariadenie";
inline constexpr std::string_view typ_casovych_zon = "parametre_zariadeni.typ_casovych_zon";
inline constexpr std::string_view vytah_cas_pohybu_sec = "parametre_zariadeni.vytah_cas_pohybu_sec";
inline constexpr std::string_view vytah_najnizsie_poschodie = "parametre_zariadeni.vytah_najnizsie_poschodie";
inline constexpr std::string_view zamok_zatvaraci_cas_sec = "parametre_zariadeni.zamok_zatvaraci_cas_sec";
inline constexpr std::string_view columns[] = {flag_blokovanie_alarmu,
                                               flag_nezaznamenat_udalosti_s_identifikatormi,
                                               flag_opakovany_alarm,
                                               flag_ponuknut_pri_generovani_dochadzky,
                                               flag_povolit_otvorenie_externym_tlacidlom,
                                               flag_povolit_upozornenie_za_nezatvorene_dvere,
                                               flag_zaznamenat_udalosti_zatvorenia,
                                               heslo,
                                               id_zariadenia,
                                               impulzomer_cena_za_jednotku,
                                               impulzomer_jednotka,
                                               impulzomer_vaha_impulzu,
                                               kamera_kod_modu,
                                               kamera_kod_rozlisenia,
                                               kamera_kontinualne_fotenie_sec,
                                               kamera_percento_naplnenia_pred_alarmom,
                                               kamera_zapnutie_vystupu_sec,
                                               master_identifikator_1,
                                               master_identifikator_2,
                                               master_identifikator_3,
                                               mek_inicializovat_zariadenie,
                                               typ_casovych_zon,
                                               vytah_cas_pohybu_sec,
                                               vytah_najnizsie_poschodie,
                                               zamok_zatvaraci_cas_sec};
inline constexpr std::string_view uniqueKey[] = {id_zariadenia};
inline constexpr TableInfo info = {table, 2, columns, uniqueKey};
} // namespace parametre_zariadeni

namespace pozadovane_casove_zony_identifikatorov_na_zariadeniach {
inline constexpr std::string_view table = "pozadovane_casove_zony_identifikatorov_na_zariadeniach";
inline constexpr std::string_view den_v_tyzdni = "pozadovane_casove_zony_identifikatorov_na_zariadeniach.den_v_tyzdni";
inline constexpr std::string_view do_v_10_min = "pozadovane_casove_zony_identifikatorov_na_zariadeniach.do_v_10_min";
inline constexpr std::string_view id_zariadenia =
    "pozadovane_casove_zony_identifikatorov_na_zariadeniach.id_zariadenia";
inline constexpr std::string_view identifikator =
    "pozadovane_casove_zony_identifikatorov_na_zariadeniach.identifikator";
inline constexpr std::string_view od_v_10_min = "pozadovane_casove_zony_identifikatorov_na_zariadeniach.od_v_10_min";
inline constexpr std::string_view columns[] = {den_v_tyzdni, do_v_10_min, id_zariadenia, identifikator, od_v_10_min};
inline constexpr TableInfo info = {table, 15, columns, {}};
} // namespace pozadovane_casove_zony_identifikatorov_na_zariadeniach

namespace pozadovane_identifikatory_priamo_na_zariadeniach {
inline constexpr std::string_view table = "pozadovane_identifikatory_priamo_na_zariadeniach";
inline constexpr std::string_view bitpole_casovych_zon =
    "pozadovane_identifikatory_priamo_na_zariadeniach.bitpole_casovych_zon";
inline constexpr std::string_view id_zariadenia = "pozadovane_identifikatory_priamo_na_zariadeniach.id_zariadenia";
inline constexpr std::string_view identifikator = "pozadovane_identifikatory_priamo_na_zariadeniach.identifikator";
inline constexpr std::string_view columns[] = {bitpole_casovych_zon, id_zariadenia, identifikator};
inline constexpr std::string_view uniqueKey[] = {id_zariadenia, identifikator};
inline constexpr TableInfo info = {table, 8, columns, uniqueKey};
} // namespace pozadovane_identifikatory_priamo_na_zariadeniach

namespace pozadovane_identifikatory_v_skupinach {
inline constexpr std::string_view table = "pozadovane_identifikatory_v_skupinach";
inline constexpr std::string_view id_skupiny = "pozadovane_identifikatory_v_skupinach.id_skupiny";
inline constexpr std::string_view identifikator = "pozadovane_identifikatory_v_skupinach.identifikator";
inline constexpr std::string_view columns[] = {id_skupiny, identifikator};
inline constexpr std::string_view uniqueKey[] = {id_skupiny, identifikator};
inline constexpr TableInfo info = {table, 7, columns, uniqueKey};
} // namespace pozadovane_identifikatory_v_skupinach

namespace pozadovane_identifikatory_vo_vytahoch {
inline constexpr std::string_view table = "pozadovane_identifikatory_vo_vytahoch";
inline constexpr std::string_view id_zariadenia = "pozadovane_identifikatory_vo_vytahoch.id_zariadenia";
inline constexpr std::string_view identifikator = "pozadovane_identifikatory_vo_vytahoch.identifikator";
inline constexpr std::string_view relativne_poschodie = "pozadovane_identifikatory_vo_vytahoch.relativne_poschodie";
inline constexpr std::string_view columns[] = {id_zariadenia, identifikator, relativne_poschodie};
inline constexpr TableInfo info = {table, 16, columns, {}};
} // namespace pozadovane_identifikatory_vo_vytahoch

namespace pozadovane_releidentifikatory_na_zariadeniach {
inline constexpr std::string_view table = "pozadovane_releidentifikatory_na_zariadeniach";
inline constexpr std::string_view id_zariadenia = "pozadovane_releidentifikatory_na_zariadeniach.id_zariadenia";
inline constexpr std::string_view identifikator = "pozadovane_releidentifikatory_na_zariadeniach.identifikator";
inline constexpr std::string_view index_rele = "pozadovane_releidentifikatory_na_zariadeniach.index_rele";
inline constexpr std::string_view columns[] = {id_zariadenia, identifikator, index_rele};
inline constexpr std::string_view uniqueKey[] = {id_zariadenia, identifikator, index_rele};
inline constexpr TableInfo info = {table, 17, columns, uniqueKey};
} // namespace pozadovane_releidentifikatory_na_zariadeniach

namespace pritomnost {
inline constexpr std::string_view table = "pritomnost";
inline constexpr std::string_view datumcas_udalosti = "pritomnost.datumcas_udalosti";
inline constexpr std::string_view flag_pritomny = "pritomnost.flag_pritomny";
inline constexpr std::string_view id_zariadenia = "pritomnost.id_zariadenia";
inline constexpr std::string_view identifikator = "pritomnost.identifikator";
inline constexpr std::string_view columns[] = {datumcas_udalosti, flag_pritomny, id_zariadenia, identifikator};
inline constexpr TableInfo info = {table, kNotImported, columns, {}};
} // namespace pritomnost

namespace ref_identifikator_dochadzkove_zaznamy {
inline constexpr std::string_view table = "ref_identifikator_dochadzkove_zaznamy";
inline constexpr std::string_view datum = "ref_identifikator_dochadzkove_zaznamy.datum";
inline constexpr std::string_view identifikator = "ref_identifikator_dochadzkove_zaznamy.identifikator";
inline constexpr std::string_view typ_dochadzkoveho_zaznamu =
    "ref_identifikator_dochadzkove_zaznamy.typ_dochadzkoveho_zaznamu";
inline constexpr std::string_view columns[] = {datum, identifikator, typ_dochadzkoveho_zaznamu};
inline constexpr TableInfo info = {table, kNotImported, columns, {}};
} // namespace ref_identifikator_dochadzkove_zaznamy

namespace ref_obchodzky_zariadenia {
inline constexpr std::string_view table = "ref_obchodzky_zariadenia";
inline constexpr std::string_view id_obchodzky = "ref_obchodzky_zariadenia.id_obchodzky";
inline constexpr std::string_view id_zariadenia = "ref_obchodzky_zariadenia.id_zariadenia";
inline constexpr std::string_view columns[] = {id_obchodzky, id_zariadenia};
inline constexpr std::string_view uniqueKey[] = {id_obchodzky, id_zariadenia};
inline constexpr TableInfo info = {table, 18, columns, uniqueKey};
} // namespace ref_obchodzky_zariadenia

namespace ref_objednavaci_system_identifikator {
inline constexpr std::string_view table = "ref_objednavaci_system_identifikator";
inline constexpr std::string_view id_objednavky = "ref_objednavaci_system_identifikator.id_objednavky";
inline constexpr std::string_view identifikator = "ref_objednavaci_system_identifikator.identifikator";
inline constexpr std::string_view index_menu = "ref_objednavaci_system_identifikator.index_menu";
inline constexpr std::string_view columns[] = {id_objednavky, identifikator, index_menu};
inline constexpr std::string_view uniqueKey[] = {id_objednavky, identifikator, index_menu};
inline constexpr TableInfo info = {table, 19, columns, uniqueKey};
} // namespace ref_objednavaci_system_identifikator

namespace ref_objednavaci_system_zariadenie {
inline constexpr std::string_view table = "ref_objednavaci_system_zariadenie";
inline constexpr std::string_view id_objednavky = "ref_objednavaci_system_zariadenie.id_objednavky";
inline constexpr std::string_view id_zariadenia = "ref_objednavaci_system_zariadenie.id_zariadenia";
inline constexpr std::string_view columns[] = {id_objednavky, id_zariadenia};
inline constexpr std::string_view uniqueKey[] = {id_objednavky, id_zariadenia};
inline constexpr TableInfo info = {table, 20, columns, uniqueKey};
} // namespace ref_objednavaci_system_zariadenie

namespace ref_skupina_zariadenie {
inline constexpr std::string_view table = "ref_skupina_zariadenie";
inline constexpr std::string_view bitpole_casovych_zon = "ref_skupina_zariadenie.bitpole_casovych_zon";
inline constexpr std::string_view id_skupiny = "ref_skupina_zariadenie.id_skupiny";
inline constexpr std::string_view id_zariadenia = "ref_skupina_zariadenie.id_zariadenia";
inline constexpr std::string_view columns[] = {bitpole_casovych_zon, id_skupiny, id_zariadenia};
inline constexpr std::string_view uniqueKey[] = {id_skupiny, id_zariadenia};
inline constexpr TableInfo info = {table, 21, columns, uniqueKey};
} // namespace ref_skupina_zariadenie

namespace ref_udalosti_dds {
inline constexpr std::string_view table = "ref_udalosti_dds";
inline constexpr std::string_view id_udalosti = "ref_udalosti_dds.id_udalosti";
inline constexpr std::string_view kod_dds_odpovede = "ref_udalosti_dds.kod_dds_odpovede";
inline constexpr std::string_view kod_dds_udalosti = "ref_udalosti_dds.kod_dds_udalosti";
inline constexpr std::string_view sietove_cislo_ciel = "ref_udalosti_dds.sietove_cislo_ciel";
inline constexpr std::string_view sietove_cislo_zdroj = "ref_udalosti_dds.sietove_cislo_zdroj";
inline constexpr std::string_view columns[] = {id_udalosti, kod_dds_odpovede, kod_dds_udalosti, sietove_cislo_ciel,
                                               sietove_cislo_zdroj};
inline constexpr std::string_view uniqueKey[] = {id_udalosti};
inline constexpr TableInfo info = {table, kNotImported, columns, uniqueKey};
} // namespace ref_udalosti_dds

namespace ref_udalosti_identifikator {
inline constexpr std::string_view table = "ref_udalosti_identifikator";
inline constexpr std::string_view id_udalosti = "ref_udalosti_identifikator.id_udalosti";
inline constexpr std::string_view identifikator = "ref_udalosti_identifikator.identifikator";
inline constexpr std::string_view columns[] = {id_udalosti, identifikator};
inline constexpr std::string_view uniqueKey[] = {id_udalosti};
inline constexpr TableInfo info = {table, kNotImported, columns, uniqueKey};
} // namespace ref_udalosti_identifikator

namespace ref_udalosti_kamera {
inline constexpr std::string_view table = "ref_udalosti_kamera";
inline constexpr std::string_view crc_fotky = "ref_udalosti_kamera.crc_fotky";
inline constexpr std::string_view fotka_subor = "ref_udalosti_kamera.fotka_subor";
inline constexpr std::string_view id_udalosti = "ref_udalosti_kamera.id_udalosti";
inline constexpr std::string_view kod_internej_chyby = "ref_udalosti_kamera.kod_internej_chyby";
inline constexpr std::string_view columns[] = {crc_fotky, fotka_subor, id_udalosti, kod_internej_chyby};
inline constexpr std::string_view uniqueKey[] = {id_udalosti};
inline constexpr TableInfo info = {table, kNotImported, columns, uniqueKey};
} // namespace ref_udalosti_kamera

namespace ref_udalosti_mek {
inline constexpr std::string_view table = "ref_udalosti_mek";
inline constexpr std::string_view id_udalosti = "ref_udalosti_mek.id_udalosti";
inline constexpr std::string_view index_schranky_kam_patri = "ref_udalosti_mek.index_schranky_kam_patri";
inline constexpr std::string_view index_schranky_udalosti = "ref_udalosti_mek.index_schranky_udalosti";
inline constexpr std::string_view columns[] = {id_udalosti, index_schranky_kam_patri, index_schranky_udalosti};
inline constexpr std::string_view uniqueKey[] = {id_udalosti};
inline constexpr TableInfo info = {table, kNotImported, columns, uniqueKey};
} // namespace ref_udalosti_mek

namespace ref_udalosti_poznamky {
inline constexpr std::string_view table = "ref_udalosti_poznamky";
inline constexpr std::string_view id_udalosti = "ref_udalosti_poznamky.id_udalosti";
inline constexpr std::string_view poznamky = "ref_udalosti_poznamky.poznamky";
inline constexpr std::string_view columns[] = {id_udalosti, poznamky};
inline constexpr std::string_view uniqueKey[] = {id_udalosti};
inline constexpr TableInfo info = {table, kNotImported, columns, uniqueKey};
} // namespace ref_udalosti_poznamky

namespace ref_zony_online_sledovania_zariadenie {
inline constexpr std::string_view table = "ref_zony_online_sledovania_zariadenie";
inline constexpr std::string_view id_zariadenia = "ref_zony_online_sledovania_zariadenie.id_zariadenia";
inline constexpr std::string_view id_zony = "ref_zony_online_sledovania_zariadenie.id_zony";
inline constexpr std::string_view columns[] = {id_zariadenia, id_zony};
inline constexpr std::string_view uniqueKey[] = {id_zony, id_zariadenia};
inline constexpr TableInfo info = {table, kNotImported, columns, uniqueKey};
} // namespace ref_zony_online_sledovania_zariadenie

namespace ref_zony_pritomnosti_zariadenia {
inline constexpr std::string_view table = "ref_zony_pritomnosti_zariadenia";
inline constexpr std::string_view id_zariadenia = "ref_zony_pritomnosti_zariadenia.id_zariadenia";
inline constexpr std::string_view id_zony = "ref_zony_pritomnosti_zariadenia.id_zony";
inline constexpr std::string_view columns[] = {id_zariadenia, id_zony};
inline constexpr std::string_view uniqueKey[] = {id_zony, id_zariadenia};
inline constexpr TableInfo info = {table, kNotImported, columns, uniqueKey};
} // namespace ref_zony_pritomnosti_zariadenia

namespace skupiny_majitelov_identifikatorov {
inline constexpr std::string_view table = "skupiny_majitelov_identifikatorov";
inline constexpr std::string_view id_skupiny = "skupiny_majitelov_identifikatorov.id_skupiny";
inline constexpr std::string_view nazov_skupiny = "skupiny_majitelov_identifikatorov.nazov_skupiny";
inline constexpr std::string_view columns[] = {id_skupiny, nazov_skupiny};
inline constexpr std::string_view uniqueKey[] = {id_skupiny};
inline constexpr TableInfo info = {table, 4, columns, uniqueKey};
} // namespace skupiny_majitelov_identifikatorov

namespace udalosti {
inline constexpr std::string_view table = "udalosti";
inline constexpr std::string_view datumcas = "udalosti.datumcas";
inline constexpr std::string_view farba = "udalosti.farba";
inline constexpr std::string_view id_udalosti = "udalosti.id_udalosti";
inline constexpr std::string_view id_zariadenia = "udalosti.id_zariadenia";
inline constexpr std::string_view kod_udalosti = "udalosti.kod_udalosti";
inline constexpr std::string_view pc_v_zaznamniku_zariadenia = "udalosti.pc_v_zaznamniku_zariadenia";
inline constexpr std::string_view columns[] = {datumcas,      farba,        id_udalosti,
                                               id_zariadenia, kod_udalosti, pc_v_zaznamniku_zariadenia};
inline constexpr std::string_view uniqueKey[] = {id_udalosti};
inline constexpr TableInfo info = {table, kNotImported, columns, uniqueKey};
} // namespace udalosti

namespace zariadenia {
inline constexpr std::string_view table = "zariadenia";
inline constexpr std::string_view definicia_komunikacnej_linky = "zariadenia.definicia_komunikacnej_linky";
inline constexpr std::string_view flag_nekompletny_download = "zariadenia.flag_nekompletny_download";
inline constexpr std::string_view flag_offline = "zariadenia.flag_offline";
inline constexpr std::string_view id_zariadenia = "zariadenia.id_zariadenia";
inline constexpr std::string_view ignorovat_alarmy = "zariadenia.ignorovat_alarmy";
inline constexpr std::string_view interval_online_komunikacie_sec = "zariadenia.interval_online_komunikacie_sec";
inline constexpr std::string_view komm_ok = "zariadenia.komm_ok";
inline constexpr std::string_view kontaktna_osoba = "zariadenia.kontaktna_osoba";
inline constexpr std::string_view poznamky = "zariadenia.poznamky";
inline constexpr std::string_view sietova_adresa = "zariadenia.sietova_adresa";
inline constexpr std::string_view typ_zariadenia = "zariadenia.typ_zariadenia";
inline constexpr std::string_view umiestnenie = "zariadenia.umiestnenie";
inline constexpr std::string_view columns[] = {definicia_komunikacnej_linky,
                                               flag_nekompletny_download,
                                               flag_offline,
                                               id_zariadenia,
                                               ignorovat_alarmy,
                                               interval_online_komunikacie_sec,
                                               komm_ok,
                                               kontaktna_osoba,
                                               poznamky,
                                               sietova_adresa,
                                               typ_zariadenia,
                                               umiestnenie};
inline constexpr std::string_view uniqueKey[] = {id_zariadenia};
inline constexpr TableInfo info = {table, 1, columns, uniqueKey};
} // namespace zariadenia

namespace zony_online_sledovania {
inline constexpr std::string_view table = "zony_online_sledovania";
inline constexpr std::string_view id_zony = "zony_online_sledovania.id_zony";
inline constexpr std::string_view nazov_zony = "zony_online_sledovania.nazov_zony";
inline constexpr std::string_view px_height = "zony_online_sledovania.px_height";
inline constexpr std::string_view px_left = "zony_online_sledovania.px_left";
inline constexpr std::string_view px_top = "zony_online_sledovania.px_top";
inline constexpr std::string_view px_width = "zony_online_sledovania.px_width";
inline constexpr std::string_view columns[] = {id_zony, nazov_zony, px_height, px_left, px_top, px_width};
inline constexpr std::string_view uniqueKey[] = {id_zony};
inline constexpr TableInfo info = {table, kNotImported, columns, uniqueKey};
} // namespace zony_online_sledovania

namespace zony_pritomnosti {
inline constexpr std::string_view table = "zony_pritomnosti";
inline constexpr std::string_view id_zony = "zony_pritomnosti.id_zony";
inline constexpr std::string_view nazov_zony = "zony_pritomnosti.nazov_zony";
inline constexpr std::string_view columns[] = {id_zony, nazov_zony};
inline constexpr std::string_view uniqueKey[] = {id_zony};
inline constexpr TableInfo info = {table, kNotImported, columns, uniqueKey};
} // namespace zony_pritomnosti

namespace zvuky {
inline constexpr std::string_view table = "zvuky";
inline constexpr std::string_view fname_zvukoveho_suboru = "zvuky.fname_zvukoveho_suboru";
inline constexpr std::string_view id_zvuku = "zvuky.id_zvuku";
inline constexpr std::string_view popis = "zvuky.popis";
inline constexpr std::string_view columns[] = {fname_zvukoveho_suboru, id_zvuku, popis};
inline constexpr std::string_view uniqueKey[] = {id_zvuku};
inline constexpr TableInfo info = {table, 5, columns, uniqueKey};
} // namespace zvuky

// The descriptions of all tables, in alphabetical order.
std::span<const TableInfo> tables();

} // namespace schema
