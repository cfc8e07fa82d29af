#include "cli/generate_text.h"

#include <algorithm>
#include <string_view>

namespace {

using namespace std::string_view_literals;

constexpr std::u16string_view kWords[] = {
    u"brána",      u"vchod",    u"sklad",       u"šatňa",     u"žien",     u"mužov",      u"výťah",    u"čítačka",
    u"karta",      u"kľúč",     u"ľavé",        u"pravé",     u"dvere",    u"poschodie",  u"prízemie", u"suterén",
    u"kancelária", u"recepcia", u"vrátnica",    u"údržba",    u"zámok",    u"porucha",    u"opravené", u"vymenená",
    u"stratená",   u"nájdená",  u"platnosť",    u"predĺžená", u"do",       u"od",         u"po",       u"pri",
    u"nad",        u"pod",      u"a",           u"aj",        u"len",      u"večer",      u"ráno",     u"cez",
    u"víkend",     u"sviatky",  u"zmluva",      u"nájomca",   u"správca",  u"bytu",       u"garáž",    u"parkovisko",
    u"zmena",      u"hesla",    u"povolený",    u"vstup",     u"zakázaný", u"výstup",     u"hlásenie", u"technik",
    u"kontrola",   u"batéria",  u"napájanie",   u"kábel",     u"modul",    u"relé",       u"čas",      u"zóna",
    u"skupina",    u"návšteva", u"upratovanie", u"služba",    u"žiadosť",  u"schválil",   u"vedúci",   u"oddelenia",
    u"Ďumbierska", u"Kŕdeľ",    u"Ôsmy",        u"mäta",      u"O'Neil",   u"„dôležité“", u"-1",       u"č. 3",
    u"Ťažký",      u"100%",     u"(dočasne)",   u"tel.",      u"e-mail",   u"firma",      u"s.r.o.",   u"dodávateľ",
};
constexpr std::u16string_view kFirstNames[] = {
    u"Ján",      u"Mária",  u"Peter", u"Katarína", u"Jozef",  u"Zuzana", u"Štefan", u"Anna",     u"Ľubomír", u"Žofia",
    u"Miroslav", u"Eva",    u"Tomáš", u"Jana",     u"Martin", u"Lucia",  u"Michal", u"Veronika", u"Ľudmila", u"Igor",
    u"Alžbeta",  u"Róbert", u"Soňa",  u"Juraj",    u"Dagmar", u"Ondrej", u"Šimon",  u"Terézia",
};
constexpr std::u16string_view kSurnames[] = {
    u"Kováč",    u"Kováčová", u"Horváth", u"Horváthová", u"Varga",    u"Tóth",   u"Baláž",
    u"Balážová", u"Šimko",    u"Lukáč",   u"Novák",      u"Nováková", u"Krajčí", u"Ďuriš",
    u"Čierny",   u"Čierna",   u"Ťapák",   u"Žiak",       u"Molnár",   u"Hudák",  u"Polák",
    u"Oravec",   u"Kučera",   u"Blaho",   u"Šťastný",    u"O'Neil",   u"Mäsiar", u"Ľupták",
};
constexpr std::u16string_view kTitles[] = {u"Ing.", u"Mgr.", u"MUDr.", u"Bc.", u"JUDr."};
constexpr std::u16string_view kTowns[] = {
    u"Bratislava", u"Košice",   u"Prešov",  u"Žilina", u"Nitra",      u"Banská Bystrica",
    u"Trnava",     u"Trenčín",  u"Martin",  u"Poprad", u"Ružomberok", u"Liptovský Mikuláš",
    u"Zvolen",     u"Piešťany", u"Komárno", u"Šaľa",
};
constexpr std::u16string_view kStreets[] = {
    u"Hlavná",         u"Štúrova",  u"Ďumbierska", u"Mlynská", u"Kpt. Nálepku", u"Šafárikova",
    u"Hviezdoslavova", u"Záhradná", u"Hurbanova",  u"Ružová",  u"Jesenského",   u"Čsl. armády",
};
constexpr std::u16string_view kSpots[] = {
    u"hlavný vchod", u"zadný vchod", u"vchod B",  u"brána",      u"garáž",   u"výťah č. 3",     u"šatňa žien",
    u"šatňa mužov",  u"sklad",       u"kotolňa",  u"recepcia",   u"jedáleň", u"serverovňa",     u"2. poschodie",
    u"prízemie",     u"suterén",     u"vrátnica", u"parkovisko", u"dielňa",  u"kancelária 214",
};
constexpr std::u16string_view kUnits[] = {u"kWh", u"MWh", u"m³", u"l", u"GJ", u"imp"};
constexpr std::u16string_view kLinks[] = {u"TCP/IP ", u"RS485 linka ", u"COM", u"USB "};
constexpr char16_t kPasswordChars[] = u"abcdefghijkmnopqrstuvwxyzABCDEFGHJKLMNPQRSTUVWXYZ23456789";

// Cuts `text` to at most `maxChars` characters, at the last space that
// leaves something when there is one.
std::u16string clipped(std::u16string text, std::size_t maxChars) {
    if (text.size() <= maxChars) return text;
    std::size_t space = text.rfind(u' ', maxChars);
    text.resize(space != std::u16string::npos && space > 0 ? space : maxChars);
    return text;
}

std::u16string number(std::size_t n) {
    std::u16string out;
    do out.insert(out.begin(), static_cast<char16_t>(u'0' + n % 10));
    while (n /= 10);
    return out;
}

} // namespace

// What a text column holds, told by its name.
enum class Prose::Kind { Words, Person, Contact, Place, Description, Link, Photo, Sound, Flat, Pin, Password, Unit };

std::u16string Prose::forColumn(std::string_view column, std::size_t maxChars) {
    struct ColumnKind {
        std::string_view column;
        Kind kind;
    };
    static constexpr ColumnKind kKinds[] = {
        {"meno_majitela", Kind::Person},
        {"kontaktna_osoba", Kind::Contact},
        {"umiestnenie", Kind::Place},
        {"nazov_zony", Kind::Place},
        {"popis_schranky", Kind::Place},
        {"suhrnny_popis", Kind::Description},
        {"popis", Kind::Description},
        {"hodnota", Kind::Description},
        {"definicia_komunikacnej_linky", Kind::Link},
        {"fotka_subor", Kind::Photo},
        {"fname_zvukoveho_suboru", Kind::Sound},
        {"cislo_bytu", Kind::Flat},
        {"pin_kod", Kind::Pin},
        {"heslo", Kind::Password},
        {"impulzomer_jednotka", Kind::Unit},
    };
    Kind kind = Kind::Words;
    for (const ColumnKind& entry : kKinds)
        if (entry.column == column) kind = entry.kind;
    std::u16string text;
    switch (kind) {
    case Kind::Words: text = words(1 + static_cast<int>(below(4))); break;
    case Kind::Person: text = person(); break;
    case Kind::Contact:
        text = extended(person() + u", tel. 09" + digits(2, 2) + u" " + digits(3, 3) + u" " + digits(3, 3), u", ",
                        someOf(maxChars));
        break;
    case Kind::Place: text = extended(place(), u" – ", someOf(maxChars)); break;
    case Kind::Description: text = extended(words(1), u" ", someOf(maxChars)); break;
    case Kind::Link:
        text = extended(std::u16string(pick(kLinks)) + number(below(256)) + u", adresa " + number(1 + below(64)) + u";",
                        u" ", someOf(maxChars));
        break;
    case Kind::Photo:
        text = u"D:\\Server\\Fotky\\" + number(2005 + below(20)) + u"\\" + std::u16string(pick(kSurnames)) + u"_" +
               std::u16string(pick(kFirstNames)) + u"_" + digits(5, 5) + u".jpg";
        break;
    case Kind::Sound: text = u"C:\\Server\\Zvuky\\výzva_" + digits(1, 3) + u".wav"; break;
    case Kind::Flat: text = digits(1, 3) + (chance(20) ? u"B" : u""); break;
    case Kind::Pin: text = digits(4, 6); break;
    case Kind::Password:
        for (std::size_t n = 6 + below(7); n > 0; --n) text += kPasswordChars[below(std::size(kPasswordChars) - 1)];
        break;
    case Kind::Unit: text = pick(kUnits); break;
    }
    return clipped(std::move(text), std::max<std::size_t>(maxChars, 1));
}

std::u16string Prose::notes() {
    std::size_t roll = below(100), chars = 0;
    if (roll < 35) return {};
    if (roll < 76) chars = 20 + below(300);         // a line or a few
    else if (roll < 96) chars = 1500 + below(4500); // several KB
    else chars = 10000 + below(35000);              // a history kept for years
    std::u16string out;
    while (out.size() < chars) appendLine(&out);
    return out;
}

std::u16string Prose::words(int count) {
    std::u16string out;
    for (int i = 0; i < count; ++i) {
        if (i) out += u' ';
        out += pick(kWords);
    }
    return out;
}

std::u16string Prose::person() {
    std::u16string out = chance(15) ? std::u16string(pick(kTitles)) + u" " : u"";
    out += pick(kFirstNames);
    out += u' ';
    out += pick(kSurnames);
    if (chance(10)) out += u"-" + std::u16string(pick(kSurnames));
    return out;
}

std::u16string Prose::place() {
    return std::u16string(pick(kTowns)) + u", " + std::u16string(pick(kStreets)) + u" " + number(1 + below(120)) +
           u", " + std::u16string(pick(kSpots));
}

std::u16string Prose::digits(std::size_t min, std::size_t max) {
    std::u16string out;
    for (std::size_t n = min + below(max - min + 1); n > 0; --n) out += static_cast<char16_t>(u'0' + below(10));
    return out;
}

std::u16string Prose::extended(std::u16string prefix, std::u16string_view separator, std::size_t chars) {
    for (std::u16string_view between = separator;; between = u" ") {
        std::u16string_view word = pick(kWords);
        if (prefix.size() + between.size() + word.size() > chars) return prefix;
        prefix += between;
        prefix += word;
    }
}

void Prose::appendLine(std::u16string* out) {
    if (!out->empty()) *out += u"\r\n";
    *out += number(1 + below(28)) + u"." + number(1 + below(12)) + u"." + number(2005 + below(20)) + u" – ";
    *out += words(4 + static_cast<int>(below(14)));
    *out += u'.';
}
