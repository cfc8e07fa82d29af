#include "schema/catalogue.h"

namespace schema {
namespace {

constexpr std::string_view c_alarmy[] = {"datumcas",      "flag_aktivny", "flag_potvrdeny", "flag_vymazat_po_potvrdeni",
                                         "id_zariadenia", "poznamky",     "typ_alarmu"};
constexpr std::string_view c_casove_zony_zariadeni[] = {
    "bitmap_pozicia_0_7",   "do_minuty",     "flag_dvere_otvorene", "flag_zakazany_vstup",
    "flag_zakazany_vystup", "id_zariadenia", "kod_typu_dna",        "od_minuty"};
constexpr std::string_view c_cis_typy_zariadeni[] = {"nazov", "typ_zariadenia"};
constexpr std::string_view c_dds_kody_na_zaznamenanie[] = {"kod_dds"};
constexpr std::string_view c_dialkove_otvorenie_vyvolane_pouzitim_identifikatora[] = {
    "id", "id_zariadenia_na_otvorenie", "id_zariadenia_vyvolajuce", "identifikator"};
constexpr std::string_view c_dialkove_ovladanie_zariadeni[] = {"id_dialkoveho_ovladania", "id_zariadenia",
                                                               "kod_prikazu", "parametre_prikazu", "shortcut_cifra"};
constexpr std::string_view c_downloadovane_casove_zony[] = {
    "bitmap_pozicia_0_7",   "do_minuty",     "flag_dvere_otvorene", "flag_zakazany_vstup",
    "flag_zakazany_vystup", "id_zariadenia", "kod_typu_dna",        "od_minuty"};
constexpr std::string_view c_downloadovane_casove_zony_identifikatorov_na_zariadeniach[] = {
    "den_v_tyzdni", "do_v_10_min", "id_zariadenia", "identifikator", "od_v_10_min"};
constexpr std::string_view c_downloadovane_identifikatory[] = {"bitpole_casovych_zon", "id_zariadenia", "identifikator",
                                                               "pin_kod"};
constexpr std::string_view c_downloadovane_identifikatory_vo_vytahoch[] = {"id_zariadenia", "identifikator",
                                                                           "relativne_poschodie"};
constexpr std::string_view c_downloadovane_parametre_zariadeni[] = {"flag_blokovanie_alarmu",
                                                                    "flag_nezaznamenat_udalosti_s_identifikatormi",
                                                                    "flag_opakovany_alarm",
                                                                    "flag_ponuknut_pri_generovani_dochadzky",
                                                                    "flag_povolit_otvorenie_externym_tlacidlom",
                                                                    "flag_povolit_upozornenie_za_nezatvorene_dvere",
                                                                    "flag_zaznamenat_udalosti_zatvorenia",
                                                                    "heslo",
                                                                    "id_zariadenia",
                                                                    "impulzomer_cena_za_jednotku",
                                                                    "impulzomer_jednotka",
                                                                    "impulzomer_vaha_impulzu",
                                                                    "kamera_kod_modu",
                                                                    "kamera_kod_rozlisenia",
                                                                    "kamera_kontinualne_fotenie_sec",
                                                                    "kamera_percento_naplnenia_pred_alarmom",
                                                                    "kamera_zapnutie_vystupu_sec",
                                                                    "master_identifikator_1",
                                                                    "master_identifikator_2",
                                                                    "master_identifikator_3",
                                                                    "mek_inicializovat_zariadenie",
                                                                    "typ_casovych_zon",
                                                                    "vytah_cas_pohybu_sec",
                                                                    "vytah_najnizsie_poschodie",
                                                                    "zamok_zatvaraci_cas_sec"};
constexpr std::string_view c_downloadovane_releidentifikatory[] = {"id_zariadenia", "identifikator", "index_rele"};
constexpr std::string_view c_garazovy_modul_aktualne_identifikatory[] = {"Identifikator", "IdSkupiny", "IdZariadenia"};
constexpr std::string_view c_garazovy_semafor_priradene_skupiny[] = {"id_skupiny", "id_zariadenia",
                                                                     "MaxPocetParkovacichMiest", "pc_semaforu"};
constexpr std::string_view c_hlasove_vyzvy[] = {
    "datum_do",        "datum_od",      "id_vyzvy",           "id_zariadenia",
    "id_zvuku",        "identifikator", "index_reproduktora", "max_pocet_prehravani",
    "pocet_prehravani"};
constexpr std::string_view c_identifikatory[] = {"cislo_bytu",
                                                 "datum_prevzatia",
                                                 "datumcas_expiracie",
                                                 "datumcas_vytvorenia",
                                                 "dohodnuty_cas_pritomnosti_za_pracovny_den_minuty",
                                                 "flag_existuje_hlasova_vyzva",
                                                 "flag_navsteva",
                                                 "flag_nezahrnut_do_dochadzky",
                                                 "flag_nezaznamenat_udalosti",
                                                 "flag_pravo_na_hlasovanie",
                                                 "flag_strateny",
                                                 "flag_vyvolat_alarm",
                                                 "fotka_subor",
                                                 "identifikator",
                                                 "max_hodin_pritomnosti_za_pracovny_den",
                                                 "meno_majitela",
                                                 "min_hodin_pritomnosti_za_pracovny_den",
                                                 "pin_kod",
                                                 "poradove_cislo_pre_rovnake_meno",
                                                 "poschodie",
                                                 "poznamky",
                                                 "suhrnny_popis",
                                                 "typ_identifikatora"};
constexpr std::string_view c_ini_subor[] = {"hodnota", "kluc", "sekcia"};
constexpr std::string_view c_kamera_zaznamnik[] = {"datumcas", "id_zariadenia", "pc_v_zaznamniku_zariadenia"};
constexpr std::string_view c_kody_udalosti[] = {"kod_udalosti", "popis"};
constexpr std::string_view c_mek_schranky[] = {"datumcas_vybratia", "id_zariadenia",  "identifikator_u_koho_je",
                                               "index_schranky",    "popis_schranky", "stav_schranky"};
constexpr std::string_view c_najnovsie_udalosti[] = {"id_udalosti", "id_zariadenia", "kod_udalosti"};
constexpr std::string_view c_obchodzky[] = {"id", "id_skupiny_obchodzkarov", "max_cas_medzi_obchodzkami_minuty",
                                            "pomenovanie", "poznamky"};
constexpr std::string_view c_objednavaci_system[] = {"datum_zaciatku_objednavky",
                                                     "datumcas_generovania",
                                                     "hodina_do",
                                                     "hodina_od",
                                                     "id_objednavky",
                                                     "pomenovanie",
                                                     "report"};
constexpr std::string_view c_parametre_zariadeni[] = {"flag_blokovanie_alarmu",
                                                      "flag_nezaznamenat_udalosti_s_identifikatormi",
                                                      "flag_opakovany_alarm",
                                                      "flag_ponuknut_pri_generovani_dochadzky",
                                                      "flag_povolit_otvorenie_externym_tlacidlom",
                                                      "flag_povolit_upozornenie_za_nezatvorene_dvere",
                                                      "flag_zaznamenat_udalosti_zatvorenia",
                                                      "heslo",
                                                      "id_zariadenia",
                                                      "impulzomer_cena_za_jednotku",
                                                      "impulzomer_jednotka",
                                                      "impulzomer_vaha_impulzu",
                                                      "kamera_kod_modu",
                                                      "kamera_kod_rozlisenia",
                                                      "kamera_kontinualne_fotenie_sec",
                                                      "kamera_percento_naplnenia_pred_alarmom",
                                                      "kamera_zapnutie_vystupu_sec",
                                                      "master_identifikator_1",
                                                      "master_identifikator_2",
                                                      "master_identifikator_3",
                                                      "mek_inicializovat_zariadenie",
                                                      "typ_casovych_zon",
                                                      "vytah_cas_pohybu_sec",
                                                      "vytah_najnizsie_poschodie",
                                                      "zamok_zatvaraci_cas_sec"};
constexpr std::string_view c_pozadovane_casove_zony_identifikatorov_na_zariadeniach[] = {
    "den_v_tyzdni", "do_v_10_min", "id_zariadenia", "identifikator", "od_v_10_min"};
constexpr std::string_view c_pozadovane_identifikatory_priamo_na_zariadeniach[] = {"bitpole_casovych_zon",
                                                                                   "id_zariadenia", "identifikator"};
constexpr std::string_view c_pozadovane_identifikatory_v_skupinach[] = {"id_skupiny", "identifikator"};
constexpr std::string_view c_pozadovane_identifikatory_vo_vytahoch[] = {"id_zariadenia", "identifikator",
                                                                        "relativne_poschodie"};
constexpr std::string_view c_pozadovane_releidentifikatory_na_zariadeniach[] = {"id_zariadenia", "identifikator",
                                                                                "index_rele"};
constexpr std::string_view c_pritomnost[] = {"datumcas_udalosti", "flag_pritomny", "id_zariadenia", "identifikator"};
constexpr std::string_view c_ref_identifikator_dochadzkove_zaznamy[] = {"datum", "identifikator",
                                                                        "typ_dochadzkoveho_zaznamu"};
constexpr std::string_view c_ref_obchodzky_zariadenia[] = {"id_obchodzky", "id_zariadenia"};
constexpr std::string_view c_ref_objednavaci_system_identifikator[] = {"id_objednavky", "identifikator", "index_menu"};
constexpr std::string_view c_ref_objednavaci_system_zariadenie[] = {"id_objednavky", "id_zariadenia"};
constexpr std::string_view c_ref_skupina_zariadenie[] = {"bitpole_casovych_zon", "id_skupiny", "id_zariadenia"};
constexpr std::string_view c_ref_udalosti_dds[] = {"id_udalosti", "kod_dds_odpovede", "kod_dds_udalosti",
                                                   "sietove_cislo_ciel", "sietove_cislo_zdroj"};
constexpr std::string_view c_ref_udalosti_identifikator[] = {"id_udalosti", "identifikator"};
constexpr std::string_view c_ref_udalosti_kamera[] = {"crc_fotky", "fotka_subor", "id_udalosti", "kod_internej_chyby"};
constexpr std::string_view c_ref_udalosti_mek[] = {"id_udalosti", "index_schranky_kam_patri",
                                                   "index_schranky_udalosti"};
constexpr std::string_view c_ref_udalosti_poznamky[] = {"id_udalosti", "poznamky"};
constexpr std::string_view c_ref_zony_online_sledovania_zariadenie[] = {"id_zariadenia", "id_zony"};
constexpr std::string_view c_ref_zony_pritomnosti_zariadenia[] = {"id_zariadenia", "id_zony"};
constexpr std::string_view c_skupiny_majitelov_identifikatorov[] = {"id_skupiny", "nazov_skupiny"};
constexpr std::string_view c_udalosti[] = {"datumcas",      "farba",        "id_udalosti",
                                           "id_zariadenia", "kod_udalosti", "pc_v_zaznamniku_zariadenia"};
constexpr std::string_view c_zariadenia[] = {"definicia_komunikacnej_linky",
                                             "flag_nekompletny_download",
                                             "flag_offline",
                                             "id_zariadenia",
                                             "ignorovat_alarmy",
                                             "interval_online_komunikacie_sec",
                                             "komm_ok",
                                             "kontaktna_osoba",
                                             "poznamky",
                                             "sietova_adresa",
                                             "typ_zariadenia",
                                             "umiestnenie"};
constexpr std::string_view c_zony_online_sledovania[] = {"id_zony", "nazov_zony", "px_height",
                                                         "px_left", "px_top",     "px_width"};
constexpr std::string_view c_zony_pritomnosti[] = {"id_zony", "nazov_zony"};
constexpr std::string_view c_zvuky[] = {"fname_zvukoveho_suboru", "id_zvuku", "popis"};

constexpr TableInfo kTables[] = {
    {"alarmy", 0, c_alarmy},
    {"casove_zony_zariadeni", 3, c_casove_zony_zariadeni},
    {"cis_typy_zariadeni", 0, c_cis_typy_zariadeni},
    {"dds_kody_na_zaznamenanie", 0, c_dds_kody_na_zaznamenanie},
    {"dialkove_otvorenie_vyvolane_pouzitim_identifikatora", 9, c_dialkove_otvorenie_vyvolane_pouzitim_identifikatora},
    {"dialkove_ovladanie_zariadeni", 10, c_dialkove_ovladanie_zariadeni},
    {"downloadovane_casove_zony", 22, c_downloadovane_casove_zony},
    {"downloadovane_casove_zony_identifikatorov_na_zariadeniach", 23,
     c_downloadovane_casove_zony_identifikatorov_na_zariadeniach},
    {"downloadovane_identifikatory", 24, c_downloadovane_identifikatory},
    {"downloadovane_identifikatory_vo_vytahoch", 25, c_downloadovane_identifikatory_vo_vytahoch},
    {"downloadovane_parametre_zariadeni", 26, c_downloadovane_parametre_zariadeni},
    {"downloadovane_releidentifikatory", 27, c_downloadovane_releidentifikatory},
    {"garazovy_modul_aktualne_identifikatory", 0, c_garazovy_modul_aktualne_identifikatory},
    {"garazovy_semafor_priradene_skupiny", 0, c_garazovy_semafor_priradene_skupiny},
    {"hlasove_vyzvy", 11, c_hlasove_vyzvy},
    {"identifikatory", 6, c_identifikatory},
    {"ini_subor", 0, c_ini_subor},
    {"kamera_zaznamnik", 0, c_kamera_zaznamnik},
    {"kody_udalosti", 0, c_kody_udalosti},
    {"mek_schranky", 12, c_mek_schranky},
    {"najnovsie_udalosti", 0, c_najnovsie_udalosti},
    {"obchodzky", 13, c_obchodzky},
    {"objednavaci_system", 14, c_objednavaci_system},
    {"parametre_zariadeni", 2, c_parametre_zariadeni},
    {"pozadovane_casove_zony_identifikatorov_na_zariadeniach", 15,
     c_pozadovane_casove_zony_identifikatorov_na_zariadeniach},
    {"pozadovane_identifikatory_priamo_na_zariadeniach", 8, c_pozadovane_identifikatory_priamo_na_zariadeniach},
    {"pozadovane_identifikatory_v_skupinach", 7, c_pozadovane_identifikatory_v_skupinach},
    {"pozadovane_identifikatory_vo_vytahoch", 16, c_pozadovane_identifikatory_vo_vytahoch},
    {"pozadovane_releidentifikatory_na_zariadeniach", 17, c_pozadovane_releidentifikatory_na_zariadeniach},
    {"pritomnost", 0, c_pritomnost},
    {"ref_identifikator_dochadzkove_zaznamy", 0, c_ref_identifikator_dochadzkove_zaznamy},
    {"ref_obchodzky_zariadenia", 18, c_ref_obchodzky_zariadenia},
    {"ref_objednavaci_system_identifikator", 19, c_ref_objednavaci_system_identifikator},
    {"ref_objednavaci_system_zariadenie", 20, c_ref_objednavaci_system_zariadenie},
    {"ref_skupina_zariadenie", 21, c_ref_skupina_zariadenie},
    {"ref_udalosti_dds", 0, c_ref_udalosti_dds},
    {"ref_udalosti_identifikator", 0, c_ref_udalosti_identifikator},
    {"ref_udalosti_kamera", 0, c_ref_udalosti_kamera},
    {"ref_udalosti_mek", 0, c_ref_udalosti_mek},
    {"ref_udalosti_poznamky", 0, c_ref_udalosti_poznamky},
    {"ref_zony_online_sledovania_zariadenie", 0, c_ref_zony_online_sledovania_zariadenie},
    {"ref_zony_pritomnosti_zariadenia", 0, c_ref_zony_pritomnosti_zariadenia},
    {"skupiny_majitelov_identifikatorov", 4, c_skupiny_majitelov_identifikatorov},
    {"udalosti", 0, c_udalosti},
    {"zariadenia", 1, c_zariadenia},
    {"zony_online_sledovania", 0, c_zony_online_sledovania},
    {"zony_pritomnosti", 0, c_zony_pritomnosti},
    {"zvuky", 5, c_zvuky},
};

} // namespace

std::span<const TableInfo> tables() { return kTables; }

} // namespace schema
