// velmorant-cli merge TARGET SOURCE [--yes]: one import run in a terminal.
#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "dialogs/line_breaks.h"
#include "merge/import_run.h"

namespace {

constexpr int kQuestionFlags = merge::mb::YesNoCancel | merge::mb::Question | merge::mb::DefaultButton2;

class TerminalUi : public merge::RunUi {
public:
    explicit TerminalUi(bool yes) : yes_(yes) {}

    int showMessage(const std::string& text, int flags) override {
        if (flags != kQuestionFlags) {
            std::cerr << dialogs::lfLineBreaks(text) << "\n";
            return merge::mb::ResultOk;
        }
        std::cout << dialogs::lfLineBreaks(text) << "\n";
        if (yes_) return merge::mb::ResultYes;
        std::cout << "(a/n) " << std::flush;
        std::string answer;
        std::getline(std::cin, answer);
        return answer == "a" || answer == "A" ? merge::mb::ResultYes : merge::mb::ResultNo;
    }
    void focusTarget() override {}
    void focusSource() override {}
    void setProgress(const std::string& caption) override {
        if (!caption.empty()) std::cout << caption << "\n" << std::flush;
    }
    void showOutcome(const std::string&, int) override {} // printed after the counts

private:
    bool yes_;
};

} // namespace

int runMerge(const std::vector<std::string>& args) {
    std::vector<std::string> files;
    bool yes = false;
    for (const std::string& arg : args) {
        if (arg == "--yes") yes = true;
        else files.push_back(arg);
    }
    if (files.size() != 2) {
        std::cerr << "Použitie: velmorant-cli merge CIEĽ.mdb ZDROJ.mdb [--yes]\n";
        return 2;
    }
    TerminalUi ui(yes);
    merge::KeyMaps maps;
    merge::ImportResult result = merge::ImportDatabase(files[0], files[1], maps, ui);
    for (const merge::StepCounts& step : result.steps)
        std::cout << step.table << " copied=" << step.copied << " skipped=" << step.skipped
                  << " refused=" << step.refused << "\n";
    if (result.reportedOutcome) std::cout << dialogs::lfLineBreaks(result.outcome) << "\n";
    return result.succeeded ? 0 : 1;
}
