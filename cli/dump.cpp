#include <iostream>

#include "cli/commands.h"
#include "jet/database.h"
#include "jet/dump_json.h"

jet::Status openForReading(const std::string& path, std::unique_ptr<jet::Database>* out) {
    std::vector<jet::OpenNotice> notices;
    jet::OpenOptions options;
    options.notices = &notices;
    jet::Status s = jet::Database::open(path, jet::OpenMode::ReadOnly, options, out);
    for (const jet::OpenNotice& notice : notices) std::cerr << notice.text << "\n";
    return s;
}

int runDump(const std::vector<std::string>& args) {
    if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
        std::cerr << "Použitie: velmorant-cli dump SÚBOR.mdb\n";
        return 2;
    }
    std::unique_ptr<jet::Database> db;
    jet::Status s = openForReading(args[0], &db);
    if (s.ok()) s = jet::writeDump(*db, std::cout);
    if (!s.ok()) {
        std::cout.flush();
        std::cerr << args[0] << ": " << s.message() << "\n";
        return 1;
    }
    return 0;
}
