#include <iostream>

#include "cli/commands.h"
#include "jet/database.h"
#include "jet/dump_json.h"

int runDump(const std::vector<std::string>& args) {
    if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
        std::cerr << "Použitie: velmorant-cli dump SÚBOR.mdb\n";
        return 2;
    }
    std::unique_ptr<jet::Database> db;
    jet::Status s = jet::Database::open(args[0], jet::OpenMode::ReadOnly, &db);
    if (s.ok()) s = jet::writeDump(*db, std::cout);
    if (!s.ok()) {
        std::cout.flush();
        std::cerr << args[0] << ": " << s.message() << "\n";
        return 1;
    }
    return 0;
}
