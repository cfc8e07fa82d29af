// velmorant-cli merge TARGET SOURCE [--yes] [--dry-run] [--json]: one import
// run in a terminal.
#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "jet/dump_json.h"
#include "jet/text.h"
#include "merge/import_run.h"
#include "ui/line_breaks.h"

namespace {

constexpr int kQuestionFlags = merge::mb::YesNoCancel | merge::mb::Question | merge::mb::DefaultButton2;

// The question and the progress go to `lines`: standard output, or standard
// error when standard output carries the JSON object alone.
class TerminalUi : public merge::RunUi {
public:
    TerminalUi(bool yes, std::ostream& lines) : yes_(yes), lines_(lines) {}

    int showMessage(const std::string& text, int flags) override {
        if (flags != kQuestionFlags) {
            std::cerr << ui::lfLineBreaks(text) << "\n";
            return merge::mb::ResultOk;
        }
        lines_ << ui::lfLineBreaks(text) << "\n";
        if (yes_) return merge::mb::ResultYes;
        lines_ << "(a/n) " << std::flush;
        std::string answer;
        std::getline(std::cin, answer);
        return answer == "a" || answer == "A" ? merge::mb::ResultYes : merge::mb::ResultNo;
    }
    void focusTarget() override {}
    void focusSource() override {}
    void setProgress(const std::string& caption) override {
        if (!caption.empty()) lines_ << caption << "\n" << std::flush;
    }
    void showOutcome(const std::string&, int) override {} // printed after the counts

private:
    bool yes_;
    std::ostream& lines_;
};

void appendString(std::string* out, const std::string& utf8) { jet::appendJsonString(out, jet::fromUtf8(utf8)); }

// The counts of every step and the outcome (null when the run ended before
// it, at a missing file) as one object.
std::string asJson(const merge::ImportResult& result, bool dryRun) {
    std::string out = "{\"dryRun\": ";
    out += dryRun ? "true" : "false";
    out += ", \"steps\": [";
    for (const merge::StepCounts& step : result.steps) {
        out += &step == result.steps.data() ? "\n  {\"table\": " : ",\n  {\"table\": ";
        appendString(&out, step.table);
        out += ", \"copied\": " + std::to_string(step.copied) + ", \"skipped\": " + std::to_string(step.skipped) +
               ", \"refused\": " + std::to_string(step.refused) + "}";
    }
    out += "],\n \"outcome\": ";
    if (result.reportedOutcome) appendString(&out, ui::lfLineBreaks(result.outcome));
    else out += "null";
    out += ", \"succeeded\": ";
    out += result.succeeded ? "true" : "false";
    return out + "}\n";
}

} // namespace

int runMerge(const std::vector<std::string>& args) {
    std::vector<std::string> files;
    bool yes = false, dryRun = false, json = false;
    for (const std::string& arg : args) {
        if (arg == "--yes") yes = true;
        else if (arg == "--dry-run") dryRun = true;
        else if (arg == "--json") json = true;
        else files.push_back(arg);
    }
    if (files.size() != 2) {
        std::cerr << "Použitie: velmorant-cli merge CIEĽ.mdb ZDROJ.mdb [--yes] [--dry-run] [--json]\n";
        return 2;
    }
    // A trial run keeps nothing, so it needs no consent.
    TerminalUi ui(yes || dryRun, json ? std::cerr : std::cout);
    merge::KeyMaps maps;
    const merge::ImportResult result =
        merge::ImportDatabase(files[0], files[1], maps, ui, dryRun ? merge::Finish::Rollback : merge::Finish::Commit);
    if (json) {
        std::cout << asJson(result, dryRun);
    } else {
        for (const merge::StepCounts& step : result.steps)
            std::cout << step.table << " copied=" << step.copied << " skipped=" << step.skipped
                      << " refused=" << step.refused << "\n";
        if (result.reportedOutcome) std::cout << ui::lfLineBreaks(result.outcome) << "\n";
    }
    if (dryRun) std::cerr << "Skúšobný beh: nič nebolo zapísané, cieľový súbor zostal nezmenený.\n";
    return result.succeeded ? 0 : 1;
}
