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

// What opening the file did with an interrupted run's leftovers beside it,
// told before anything else of the run.
jet::Status openTelling(const std::string& path, std::unique_ptr<Database>* out, RunUi& ui) {
    std::vector<jet::OpenNotice> notices;
    jet::OpenOptions options;
    options.notices = &notices;
    jet::Status status = openDatabase(path, out, options);
    for (const jet::OpenNotice& notice : notices) {
        if (notice.kind == jet::OpenNotice::Kind::Completed)
            ui.showMessage("Predchádzajúce importovanie do súboru " + path + " bolo dokončené.", mb::Information);
        else ui.showMessage(notice.text, mb::Exclamation);
    }
    return status;
}

// Any loss is reported, however the run went on: the rows refused first,
// then the columns that could not hold some values.
void reportCounts(ImportResult* result) {
    std::string refusals, emptied;
    for (const StepCounts& step : result->steps) {
        if (step.refused > 0) refusals += kCrLf + step.table + ": " + std::to_string(step.refused);
        for (const auto& [column, count] : step.emptied)
            emptied += kCrLf + step.table + "." + column + ": " + std::to_string(count);
    }
    if (refusals.empty() && emptied.empty()) {
        result->outcome = kOutcomeSuccess;
        result->outcomeFlags = mb::Information;
        result->succeeded = true;
        return;
    }
    std::string& text = result->outcome;
    if (!refusals.empty()) text = "Import bol dokončený, ale cieľový súbor odmietol niektoré riadky:" + refusals;
    if (!emptied.empty()) {
        if (refusals.empty())
            text = "Import bol dokončený, ale cieľový súbor neprijal niektoré hodnoty; tieto polia zostali prázdne:";
        else text += std::string(kCrLf) + "Cieľový súbor neprijal niektoré hodnoty; tieto polia zostali prázdne:";
        text += emptied;
    }
    result->outcomeFlags = mb::Exclamation;
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
    ImportResult result;
    maps.clear();
    const std::string targetPath = trimBlanks(targetBoxText);
    const std::string sourcePath = trimBlanks(sourceBoxText);
    if (!fileExists(targetPath)) {
        ui.focusTarget();
        ui.showMessage("Neexistuje súbor, do ktorého má byť vykonané importovanie", mb::Exclamation);
        return result;
    }
    if (!fileExists(sourcePath)) {
        ui.focusSource();
        ui.showMessage("Neexistuje súbor ktorý má byť importovaný", mb::Exclamation);
        return result;
    }

    std::unique_ptr<Database> target, source;
    std::string error;
    if (jet::Status status = openTelling(targetPath, &target, ui); !status.ok()) {
        error = openFailure(targetPath, status);
    } else if (status = openTelling(sourcePath, &source, ui); !status.ok()) {
        error = openFailure(sourcePath, status);
    } else if (error = versionProblem(*target, targetPath); error.empty()) {
        error = versionProblem(*source, sourcePath);
    }
    if (error.empty()) {
        const std::string question =
            std::string("Želáte si importovať súbor") + kCrLf + sourcePath + kCrLf + "do súboru" + kCrLf + targetPath;
        if (ui.showMessage(question, mb::YesNoCancel | mb::Question | mb::DefaultButton2) != mb::ResultYes)
            error = "Nebola žiadosť o importovanie";
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
    ui.showOutcome(result.outcome, result.outcomeFlags);
    return result;
}

} // namespace merge
