#include "merge/run_record.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include "jet/text.h"

namespace merge {

namespace {

namespace fs = std::filesystem;

// Every entry begins with this at the start of a line; no other line of an
// entry does (its lines begin with a label, or are indented).
constexpr std::string_view kEntryMark = "=== ";

// The system's own line ends, so that its plain editor shows the lines.
#ifdef _WIN32
constexpr std::string_view kLineEnd = "\r\n";
#else
constexpr std::string_view kLineEnd = "\n";
#endif

using jet::Status;

Status notWritten(const fs::path& file) {
    const std::u8string name = file.u8string();
    return Status::error(Status::Code::IoError, "Záznam o spojení sa nepodarilo zapísať do súboru " +
                                                    std::string(name.begin(), name.end()) + ".");
}

fs::path utf8Path(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string utf8Of(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// Local time as "2025-03-14 10:22:31", with " +0100" after it when asked.
std::string localTime(std::time_t t, bool withOffset) {
    std::tm local{}, utc{};
#ifdef _WIN32
    localtime_s(&local, &t);
    gmtime_s(&utc, &t);
#else
    localtime_r(&t, &local);
    gmtime_r(&t, &utc);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    if (!withOffset) return text;
    // The universal time read as local time lies the offset before it.
    utc.tm_isdst = local.tm_isdst;
    const long offset = static_cast<long>(std::difftime(t, std::mktime(&utc))) / 60;
    char zone[48];
    std::snprintf(zone, sizeof zone, " %c%02ld%02ld", offset < 0 ? '-' : '+', std::labs(offset) / 60,
                  std::labs(offset) % 60);
    return text + std::string(zone);
}

// The text as it goes into the record: a line break in it (CR LF or LF)
// continues it on an indented line, so that only an entry's first line can
// begin with the mark.
std::string continued(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (text[i] == '\n' || text[i] == '\r') out.append(kLineEnd).append("  ");
        else out += text[i];
    }
    return out;
}

// "/full/path (123456 bajtov, zmenený 2025-03-14 10:22:31)" as the file is now.
std::string fileLine(const std::string& path) {
    std::error_code error;
    const fs::path full = fs::absolute(utf8Path(path), error);
    std::string line = utf8Of(error ? utf8Path(path) : full);
    const std::uintmax_t size = fs::file_size(full, error);
    if (error) return line + " (veľkosť a čas zmeny sa nedajú zistiť)";
    const fs::file_time_type changed = fs::last_write_time(full, error);
    if (error) return line + " (" + std::to_string(size) + " bajtov)";
    const auto when = std::chrono::file_clock::to_sys(changed);
    return line + " (" + std::to_string(size) + " bajtov, zmenený " +
           localTime(std::chrono::system_clock::to_time_t(when), false) + ")";
}

std::string answerText(int answer) {
    switch (answer) {
    case 0: return "otázka nebola položená";
    case mb::ResultYes: return "Áno";
    case mb::ResultNo: return "Nie";
    case mb::ResultCancel: return "Zrušiť";
    default: return "kód " + std::to_string(answer);
    }
}

// What the file holds from the first entry that begins at or after `from`.
std::string entriesFrom(const std::string& text, std::size_t from) {
    if (from == 0) return text;
    const std::string mark = "\n" + std::string(kEntryMark);
    const std::size_t at = text.find(mark, from - 1);
    return at == std::string::npos ? std::string() : text.substr(at + 1);
}

// The newest entries that fit in half the limit, then `entry`, into the
// place of the file at once: a new file beside it, renamed over it.
Status rewrite(const fs::path& file, const std::string& entry, std::uintmax_t limit) {
    std::ifstream in(file, std::ios::binary);
    const std::string old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.eof() && in.fail()) return notWritten(file);
    in.close();
    const std::size_t keep = static_cast<std::size_t>(limit / 2);
    const std::string kept = entriesFrom(old, old.size() > keep ? old.size() - keep : 0);
    fs::path fresh = file;
    fresh += "." + std::to_string(std::random_device{}()) + ".tmp";
    std::ofstream out(fresh, std::ios::binary | std::ios::trunc);
    out << kept << entry;
    out.close();
    std::error_code error;
    if (out.fail() || (fs::rename(fresh, file, error), error)) {
        fs::remove(fresh, error);
        return notWritten(file);
    }
    return Status::OK();
}

} // namespace

Status runRecordPath(fs::path* out) {
#ifdef _WIN32
    const wchar_t* local = ::_wgetenv(L"LOCALAPPDATA");
    if (!local || !*local)
        return Status::error(Status::Code::NotFound,
                             "Záznam o spojení sa nedá zapísať: nie je známy priečinok LOCALAPPDATA.");
    *out = fs::path(local) / L"Velmorant" / L"importy.log";
#else
    const char* state = std::getenv("XDG_STATE_HOME");
    const char* home = std::getenv("HOME");
    if (state && fs::path(state).is_absolute()) *out = fs::path(state) / "velmorant" / "importy.log";
    else if (home && *home) *out = fs::path(home) / ".local" / "state" / "velmorant" / "importy.log";
    else
        return Status::error(Status::Code::NotFound,
                             "Záznam o spojení sa nedá zapísať: nie je známy domovský priečinok (HOME).");
#endif
    return Status::OK();
}

std::string runRecordEntry(const ImportResult& result, const std::string& program) {
    std::string entry(kEntryMark);
    auto line = [&](const std::string& text) { entry.append(continued(text)).append(kLineEnd); };
    line(localTime(std::chrono::system_clock::to_time_t(result.started), true) + " " + program);
    line("Cieľ: " + fileLine(result.targetPath));
    line("Zdroj: " + fileLine(result.sourcePath));
    line(std::string("Skúšobný beh: ") + (result.dryRun ? "áno" : "nie"));
    line("Odpoveď na otázku: " + answerText(result.answer));
    line(result.steps.empty() ? "Kroky: žiadne" : "Kroky (skopírované/vynechané/odmietnuté):");
    std::vector<std::string> emptied;
    for (const StepCounts& step : result.steps) {
        line("  " + step.table + " " + std::to_string(step.copied) + "/" + std::to_string(step.skipped) + "/" +
             std::to_string(step.refused) + (step.unread.empty() ? "" : " (" + step.unread + ")"));
        for (const auto& [column, count] : step.emptied)
            emptied.push_back("  " + step.table + "." + column + ": " + std::to_string(count));
    }
    line(emptied.empty() ? "Prázdne polia: žiadne" : "Prázdne polia:");
    for (const std::string& column : emptied) line(column);
    line("Výsledok:");
    line("  " + result.outcome);
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", result.seconds);
    line(std::string("Trvanie: ") + seconds + " s");
    // Whatever bytes the paths held, the record stays UTF-8.
    return jet::toUtf8(jet::fromUtf8(entry.append(kLineEnd)));
}

Status appendRunRecord(const fs::path& file, const std::string& entry, std::uintmax_t limit) {
    std::error_code error;
    // Only its user reads what the folder holds.
    if (fs::create_directories(file.parent_path(), error))
        fs::permissions(file.parent_path(), fs::perms::owner_all, fs::perm_options::replace, error);
    const std::uintmax_t size = fs::exists(file, error) ? fs::file_size(file, error) : 0;
    if (error) return notWritten(file);
    if (size + entry.size() > limit) return rewrite(file, entry, limit);
    std::ofstream out(file, std::ios::binary | std::ios::app);
    out << entry;
    out.close();
    if (!out.fail()) return Status::OK();
    fs::resize_file(file, size, error); // no torn entry for the next one to follow
    return notWritten(file);
}

Status recordRun(const ImportResult& result, const std::string& program) {
    fs::path file;
    JET_TRY(runRecordPath(&file));
    return appendRunRecord(file, runRecordEntry(result, program), kRunRecordLimit);
}

} // namespace merge
