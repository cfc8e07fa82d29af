#include <iostream>

#include "cli/commands.h"

int runCheck(const std::vector<std::string>&) {
    std::cerr << "not yet\n";
    return 1;
}
