#include "merge/import_run.h"

#include <filesystem>
#include <memory>

#include "merge/dao.h"
#include "merge/plan.h"
#include "merge/row_copy.h"
#include "schema/catalogue.h"

namespace merge {

namespace {

constexpr const char* kCrLf = "\r\n";

std::string trimBlanks(const std::string& text) {
    auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// An ordinary file at this path; anything that cannot be looked up is not.
bool fileExists(const std::string& path) {
    std::error_code error;
    // Through char8_t, so that the path is read as UTF-8 on every system.
    const std::u8string utf8(path.begin(), path.end());
    return !path.empty() && std::filesystem::is_regular_file(std::filesystem::path(utf8), error);
}

std::string openFailure(const std::string& path, const jet::Status& status) {
    return std::string("Nie je možné otvoriť súbor") + kCrLf + path + kCrLf + status.message();
}

// Empty when the database carries the required version; the message otherwise.
std::string versionProblem(Database& database, const std::string& path) {
    std::string version;
    if (!database.property(schema::TABLES_VERSION, &version).ok()) version.clear();
    if (version == schema::kRequiredVersion) return {};
    return std::string("Nekorektná verzia databázy:") + version + kCrLf + kCrLf +
           "Má byť:" + std::string(schema::kRequiredVersion) + kCrLf + path + kCrLf + kCrLf +
           "Skúste upgradovať databázový súbor, prípadne používať inú verziu tejto aplikácie";
}

constexpr const char* kUnchanged = "Import zlyhal, cieľový súbor zostal nezmenený:";
// Once the commit record is on the disk the import is saved, whatever fails
// after it.
constexpr const char* kSaved = "Import je uložený, ale do cieľového súboru sa ešte nezapísal celý; dopíše sa pri "
                               "najbližšom otvorení súboru:";
constexpr const char* kNotUndone = "Import zlyhal a jeho zmeny sa nepodarilo vrátiť; cieľový súbor sa dá do poriadku "
                                   "pri najbližšom otvorení:";

void failed(const std::string& table, const jet::Status& status, ImportResult* result, const char* head = kUnchanged) {
    result->outcome = std::string(head) + kCrLf + (table.empty() ? "" : table + ": ") + status.message();
    result->outcomeFlags = mb::Exclamation;
}

// The source is read once, table after table: a cache of 1 MiB keeps the
// pages just read in the processor's caches, where a larger one would cycle
// every page read through memory it has long left.
constexpr std::size_t kSourceCachePages = 256;

// What opening the file did with an interrupted run's leftovers beside it,
// told before anything else of the run.
jet::Status openTelling(const std::string& path, jet::OpenMode mode, std::unique_ptr<Database>* out, RunUi& ui) {
    std::vector<jet::OpenNotice> notices;
    jet::OpenOptions options;
    options.notices = &notices;
    if (mode == jet::OpenMode::ReadOnly) options.cachePages = kSourceCachePages;
    jet::Status status = openDatabase(path, out, mode, options);
    for (const jet::OpenNotice& notice : notices) {
        if (notice.kind == jet::OpenNotice::Kind::Completed)
            ui.showMessage("Predchádzajúce importovanie do súboru " + path + " bolo dokončené.", mb::Information);
        else ui.showMessage(notice.text, mb::Exclamation);
    }
    return status;
}

// Any loss is reported, however the run went on: the source tables that
// could not be read first, then the rows refused, then the columns that
// could not hold some values. Each part names what was lost as the outcome's
// first sentence goes on after "Import bol dokončený, ale ", or, with a
// capital, as a sentence of its own after another part.
void reportCounts(ImportResult* result) {
    std::string parts[3] = {
        "zo zdrojového súboru sa nedali prečítať niektoré tabuľky:", "cieľový súbor odmietol niektoré riadky:",
        "cieľový súbor neprijal niektoré hodnoty; tieto polia zostali prázdne:"};
    std::string lines[3];
    for (const StepCounts& step : result->steps) {
        if (!step.unread.empty()) lines[0] += kCrLf + step.table + ": " + step.unread;
        if (step.refused > 0) lines[1] += kCrLf + step.table + ": " + std::to_string(step.refused);
        for (const auto& [column, count] : step.emptied)
            lines[2] += kCrLf + step.table + "." + column + ": " + std::to_string(count);
    }
    std::string& text = result->outcome;
    text.clear();
    for (int i = 0; i < 3; ++i) {
        if (lines[i].empty()) continue;
        if (text.empty()) {
            text = "Import bol dokončený, ale " + parts[i];
        } else {
            parts[i][0] = static_cast<char>(parts[i][0] - 'a' + 'A'); // each part begins with an ASCII letter
            text += kCrLf + parts[i];
        }
        text += lines[i];
    }
    result->succeeded = text.empty();
    if (result->succeeded) text = kOutcomeSuccess;
    result->outcomeFlags = result->succeeded ? mb::Information : mb::Exclamation;
}

// The steps proper, inside the open transaction; the table and the failure
// of the engine when one stops them.
jet::Status runSteps(Database& target, Database& source, KeyMaps& maps, RunUi& ui, ImportResult* result, Finish finish,
                     std::string* failedTable) {
    for (const Step& step : importPlan()) {
        ui.setProgress(std::string(step.table));
        result->steps.emplace_back().table = step.table;
        *failedTable = step.table;
        JET_TRY(copyTable(step, source, target, maps, &result->steps.back()));
    }
    failedTable->clear();
    return finish == Finish::Commit ? target.commit() : target.rollback();
}

} // namespace

void runImportSteps(Database& target, Database& source, KeyMaps& maps, RunUi& ui, ImportResult* result, Finish finish) {
    result->steps.clear();
    for (const Step& step : importPlan()) {
        jet::Status status = target.canAppend(step.table);
        if (!status.ok()) return failed(std::string(step.table), status, result);
    }
    if (jet::Status status = target.begin(); !status.ok()) return failed("", status, result);
    std::string failedTable;
    jet::Status status = runSteps(target, source, maps, ui, result, finish, &failedTable);
    ui.setProgress("");
    if (status.code() == jet::Status::Code::Pending) return failed("", status, result, kSaved); // its rows stay
    if (!status.ok()) {
        const jet::Status undone = target.rollback();
        result->steps.clear();
        maps.clear(); // they would name rows that are gone
        failed(failedTable, status, result, undone.ok() ? kUnchanged : kNotUndone);
        if (!undone.ok()) result->outcome += kCrLf + undone.message();
        return;
    }
    reportCounts(result);
}

ImportResult ImportDatabase(const std::string& targetBoxText, const std::string& sourceBoxText, KeyMaps& maps,
                            RunUi& ui, Finish finish) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    Clock::duration waited{};
    ImportResult result;
    result.started = std::chrono::system_clock::now();
    result.dryRun = finish == Finish::Rollback;
    result.targetPath = trimBlanks(targetBoxText);
    result.sourcePath = trimBlanks(sourceBoxText);
    const std::string& targetPath = result.targetPath;
    const std::string& sourcePath = result.sourcePath;
    auto took = [&] { result.seconds = std::chrono::duration<double>(Clock::now() - start - waited).count(); };
    maps.clear();
    // A missing file is reported at once, in the standard message box.
    auto missing = [&](const char* text) {
        result.outcome = text;
        result.outcomeFlags = mb::Exclamation;
        took();
        ui.showMessage(result.outcome, result.outcomeFlags);
        return result;
    };
    if (!fileExists(targetPath)) {
        ui.focusTarget();
        return missing("Neexistuje súbor, do ktorého má byť vykonané importovanie");
    }
    if (!fileExists(sourcePath)) {
        ui.focusSource();
        return missing("Neexistuje súbor ktorý má byť importovaný");
    }

    // Nothing is ever written to the source: it is opened for reading only,
    // so that a file that may only be read merges too, with writers shut out
    // meanwhile; the target's exclusive open, made first, shuts it out too
    // when both boxes name one file.
    std::unique_ptr<Database> target, source;
    std::string error;
    if (jet::Status status = openTelling(targetPath, jet::OpenMode::Exclusive, &target, ui); !status.ok()) {
        error = openFailure(targetPath, status);
    } else if (status = openTelling(sourcePath, jet::OpenMode::ReadOnly, &source, ui); !status.ok()) {
        error = openFailure(sourcePath, status);
    } else if (error = versionProblem(*target, targetPath); error.empty()) {
        error = versionProblem(*source, sourcePath);
    }
    if (error.empty()) {
        const std::string question =
            std::string("Želáte si importovať súbor") + kCrLf + sourcePath + kCrLf + "do súboru" + kCrLf + targetPath;
        const Clock::time_point asked = Clock::now();
        result.answer = ui.showMessage(question, mb::YesNoCancel | mb::Question | mb::DefaultButton2);
        waited = Clock::now() - asked;
        if (result.answer != mb::ResultYes) error = "Nebola žiadosť o importovanie";
    }
    if (error.empty()) {
        runImportSteps(*target, *source, maps, ui, &result, finish);
    } else {
        result.outcome = error;
        result.outcomeFlags = mb::Exclamation;
    }
    target.reset();
    source.reset();
    result.reportedOutcome = true;
    took();
    ui.showOutcome(result.outcome, result.outcomeFlags);
    return result;
}

} // namespace merge
