// The commands of velmorant-cli. Each takes the arguments after its name and
// returns the exit status: 0 success (for merge: the outcome "Import bol
// úspešný"), 1 a problem with the file (message on standard error) or, for
// merge, any other outcome, 2 wrong usage.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "jet/database.h"

int runDump(const std::vector<std::string>& args);
int runCheck(const std::vector<std::string>& args);
int runMerge(const std::vector<std::string>& args);
int runGenerate(const std::vector<std::string>& args);

// Opens a database read-only for dump and check; what the open found beside
// it (a leftover of an interrupted run that does not fit) goes to standard
// error.
jet::Status openForReading(const std::string& path, std::unique_ptr<jet::Database>* out);
