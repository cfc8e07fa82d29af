// One whole merge of a source database file into a target database file:
// the checks of the two names, the opens (the target exclusively, the source
// for reading with writers shut out), the version check, the
// confirmation question, the 27 table steps and the outcome message. All
// talk with the user goes through RunUi; all strings are UTF-8.
#pragma once

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "merge/key_maps.h"
#include "merge/run_ui.h"

namespace merge {

// What one table step did.
struct StepCounts {
    std::string table;
    int copied = 0;  // rows added to the target
    int skipped = 0; // rows the plan left out
    int refused = 0; // rows the target refused
    // The target columns that could not hold some copied values, in column
    // order: the column's name and how many saved rows it was left empty in.
    std::vector<std::pair<std::string, int>> emptied;
    // Why the source table could not be read ("tabuľka chýba", "chýba
    // stĺpec …"); then the step copied nothing. Empty when it was read.
    std::string unread;
};

struct ImportResult {
    // True when the run reached its outcome message (every case but a missing
    // file, whose message outcome and outcomeFlags then hold); outcome and
    // outcomeFlags are what was shown.
    bool reportedOutcome = false;
    std::string outcome;
    int outcomeFlags = 0;
    // True when the outcome is "Import bol úspešný".
    bool succeeded = false;
    // One entry per step, in step order; empty when the run did not reach the
    // steps or was rolled back.
    std::vector<StepCounts> steps;

    // What else the run knows, for its record: the two paths as trimmed,
    // the result code of the question (0 when it was not asked), whether it
    // was a trial run, when it started and how long it took, the wait for
    // the answer aside.
    std::string targetPath, sourcePath;
    int answer = 0;
    bool dryRun = false;
    std::chrono::system_clock::time_point started;
    double seconds = 0;
};

inline constexpr const char* kOutcomeSuccess = "Import bol úspešný";

class Database;

// How a run ends the target's transaction once its steps are through: kept,
// or rolled back so that the run shows what it would do and the target file
// stays as it was (a trial run).
enum class Finish { Commit, Rollback };

// The table steps alone, on two open databases: every target table of the
// plan is first asked whether it can take rows, then the 27 steps run in
// order inside one transaction of the target, which is rolled back when the
// engine fails. Fills steps, outcome and outcomeFlags of the result.
void runImportSteps(Database& target, Database& source, KeyMaps& maps, RunUi& ui, ImportResult* result,
                    Finish finish = Finish::Commit);

// Runs one merge. The box texts are taken as typed (they are trimmed here).
// The key maps are emptied when the run starts and filled by its steps.
// Blocks until the run has ended, the outcome message included.
ImportResult ImportDatabase(const std::string& targetBoxText, const std::string& sourceBoxText, KeyMaps& maps,
                            RunUi& ui, Finish finish = Finish::Commit);

} // namespace merge
