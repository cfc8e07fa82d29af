// velmorant-cli check: reads everything in a database and walks every index.
#include <iostream>

#include "cli/commands.h"
#include "jet/check.h"

int runCheck(const std::vector<std::string>& args) {
    if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
        std::cerr << "Použitie: velmorant-cli check SÚBOR.mdb\n";
        return 2;
    }
    jet::CheckReport report;
    std::unique_ptr<jet::Database> db;
    jet::Status s = openForReading(args[0], &db);
    if (s.ok()) s = jet::checkDatabase(*db, &report);
    if (!s.ok()) {
        std::cerr << args[0] << ": " << s.message() << "\n";
        return 1;
    }
    for (const std::string& p : report.problems) std::cout << p << "\n";
    for (const std::string& n : report.notes) std::cout << "poznámka: " << n << "\n";
    const std::string counts = "tabuľky " + std::to_string(report.tables) + ", riadky " + std::to_string(report.rows) +
                               ", dlhé hodnoty " + std::to_string(report.longValues) + ", indexy " +
                               std::to_string(report.indexes) + ", záznamy indexov " + std::to_string(report.entries) +
                               " (kľúče porovnané " + std::to_string(report.keysCompared) + ", neporovnané " +
                               std::to_string(report.keysNotCompared) + ")";
    if (report.ok()) {
        std::cout << "OK: " << counts << "\n";
        return 0;
    }
    std::cout << "CHYBY: " << report.problems.size() << "; " << counts << "\n";
    return 1;
}
