// velmorant-cli: reads Jet 4 databases from the command line.
#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace {

const char kUsage[] = "Použitie: velmorant-cli PRÍKAZ SÚBOR.mdb\n"
                      "Príkazy:\n"
                      "  dump   vypíše formát, vlastnosti databázy a všetky používateľské tabuľky ako JSON\n"
                      "  check  overí tabuľky a indexy databázy\n"
                      "  merge  CIEĽ.mdb ZDROJ.mdb [--yes] [--dry-run] [--json]  pridá zdrojovú databázu do cieľovej\n"
                      "         --dry-run: celý beh nanečisto, cieľový súbor zostane nezmenený\n"
                      "         --json: počty po krokoch, prázdne polia, nečitané tabuľky a výsledok ako JSON\n"
                      "  generate VÝSTUP.mdb --seed N --scale S [--share-identifiers-with SÚBOR.mdb]\n"
                      "         [--profile server|dense]  vytvorí databázu s vymyslenými údajmi\n"
                      "         (dense: prevažujú krátke riadky identifikátorov a časových zón)\n"
                      "  --version  vypíše verziu programu\n"
                      "Návratový kód: 0 úspech (pri merge výsledok „Import bol úspešný“), 1 problém\n"
                      "so súborom alebo pri merge akýkoľvek iný výsledok, 2 nesprávne použitie.\n";

} // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // The same bytes as on Linux: UTF-8, lines as the program ends them.
    ::SetConsoleOutputCP(CP_UTF8);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    if (argc < 2) {
        std::cerr << kUsage;
        return 2;
    }
    std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << kUsage;
        return 0;
    }
    if (command == "--version") {
        std::cout << "velmorant-cli " VELMORANT_VERSION "\n";
        return 0;
    }
    std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "dump") return runDump(args);
    if (command == "check") return runCheck(args);
    if (command == "merge") return runMerge(args);
    if (command == "generate") return runGenerate(args);
    std::cerr << "Neznámy príkaz: " << command << "\n" << kUsage;
    return 2;
}
