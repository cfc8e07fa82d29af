// velmorant-cli merge TARGET SOURCE [--yes] [--dry-run] [--json]: one import
// run in a terminal.
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

#include "cli/commands.h"
#include "jet/dump_json.h"
#include "jet/text.h"
#include "merge/import_run.h"
#include "merge/run_record.h"
#include "ui/line_breaks.h"

namespace {

constexpr int kQuestionFlags = merge::mb::YesNoCancel | merge::mb::Question | merge::mb::DefaultButton2;

// One line typed in answer, UTF-8, without its line end. A Windows console
// hands out its input in UTF-8 unreliably: there it is read as UTF-16.
std::string readAnswer() {
    std::string line;
#ifdef _WIN32
    HANDLE in = ::GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (::GetConsoleMode(in, &mode)) {
        std::wstring wide;
        wchar_t c = 0;
        DWORD got = 0;
        while (::ReadConsoleW(in, &c, 1, &got, nullptr) && got == 1 && c != L'\n') wide += c;
        const int n =
            ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
        line.resize(static_cast<std::size_t>(n));
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), line.data(), n, nullptr, nullptr);
    } else {
        std::getline(std::cin, line);
    }
#else
    std::getline(std::cin, line);
#endif
    const std::size_t end = line.find_last_not_of(" \t\r");
    const std::size_t start = line.find_first_not_of(" \t");
    return end == std::string::npos ? std::string() : line.substr(start, end - start + 1);
}

// "a" or "áno", with or without the accent, in either case.
bool meansYes(const std::string& answer) {
    for (const char* yes : {"a", "á", "ano", "áno"})
        if (jet::equalsIgnoreCase(answer, yes)) return true;
    return false;
}

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
        return meansYes(readAnswer()) ? merge::mb::ResultYes : merge::mb::ResultNo;
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

std::string textField(const char* name, const std::string& utf8) {
    std::string out = std::string("\"") + name + "\": ";
    appendString(&out, utf8);
    return out;
}
std::string numberField(const char* name, int n) { return std::string(", \"") + name + "\": " + std::to_string(n); }
void appendObject(std::string* list, const std::string& fields) {
    *list += (list->empty() ? "\n  {" : ",\n  {") + fields + "}";
}

// The counts of every step, the values lost, the source tables not read and
// the outcome (null when the run ended before it, at a missing file) as one
// object.
std::string asJson(const merge::ImportResult& result, bool dryRun) {
    std::string steps, emptied, unreadable;
    for (const merge::StepCounts& step : result.steps) {
        const std::string table = textField("table", step.table);
        appendObject(&steps, table + numberField("copied", step.copied) + numberField("skipped", step.skipped) +
                                 numberField("refused", step.refused));
        for (const auto& [column, count] : step.emptied)
            appendObject(&emptied, table + ", " + textField("column", column) + numberField("count", count));
        if (!step.unread.empty()) appendObject(&unreadable, table + ", " + textField("reason", step.unread));
    }
    std::string out = std::string("{\"dryRun\": ") + (dryRun ? "true" : "false") + ", \"steps\": [" + steps +
                      "],\n \"emptied\": [" + emptied + "],\n \"unreadable\": [" + unreadable + "],\n \"outcome\": ";
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
    // The record never changes the outcome or the exit status.
    if (jet::Status recorded = merge::recordRun(result, "velmorant-cli " VELMORANT_VERSION); !recorded.ok())
        std::cerr << recorded.message() << "\n";
    return result.succeeded ? 0 : 1;
}
