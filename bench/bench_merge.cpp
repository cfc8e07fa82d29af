// Whole import runs of generated source files into copies of generated
// target files, timed against copying the two files: once through user
// space as a commit writes (read, write, fsync) and once as `cp` does it
// (copied in the kernel, then sync), the least any merge has to pay for
// the disk. Prints wall and processor time (also per appended row), the
// commit window (how long the target's original pages were half
// overwritten), rows/s, bytes written, peak resident memory, the ratio of
// the merge to each copy, and checks the result (with its time and peak
// memory).
// Usage: bench_merge [--quick | --scale N] [--repeat N] [--pairs LIST]
// LIST names the pairs, separated by commas (default server,dense):
//   server   the usual mix of a server's tables (about 105 MB a file at 100)
//   dense    short rows dominating (about 125 MB a file and 750 000 rows
//            appended at 100)
//   dense4   the dense pair with four times the rows, to see the cost per
//            row stay flat
// Scale 100 by default, 20 with --quick; 400 is a server some years old.
// The generated pairs are kept in the build folder and made again when
// missing or older than what made them (the generator, its blank
// database, the file they share identifiers with).
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "jet/check.h"
#include "jet/database.h"
#include "merge/import_run.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// A number from one of the /proc/self files ("VmHWM:", "wchar:" ...); 0 when absent.
long long procField(const char* file, const std::string& field) {
    std::ifstream in(std::string("/proc/self/") + file);
    for (std::string name; in >> name;) {
        long long value = 0;
        if (name == field && in >> value) return value;
        in.ignore(1 << 16, '\n');
    }
    return 0;
}

double mib(double bytes) { return bytes / (1024.0 * 1024.0); }

// Copies a file as a commit writes one: read, write, fsync.
bool copyThroughUser(const fs::path& from, const fs::path& to) {
    int in = open(from.c_str(), O_RDONLY);
    int out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    bool ok = in >= 0 && out >= 0;
    std::vector<char> buffer(1 << 20);
    for (ssize_t n; ok && (n = read(in, buffer.data(), buffer.size())) != 0;)
        ok = n > 0 && write(out, buffer.data(), static_cast<std::size_t>(n)) == n;
    ok = ok && fsync(out) == 0;
    if (in >= 0) close(in);
    if (out >= 0) close(out);
    return ok;
}

// Copies a file as `cp` does: in the kernel, without passing the bytes
// through user space; the caller syncs.
bool copyInKernel(const fs::path& from, const fs::path& to) {
    int in = open(from.c_str(), O_RDONLY);
    int out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    bool ok = in >= 0 && out >= 0;
    for (ssize_t n; ok && (n = copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0)) != 0;) ok = n > 0;
    if (in >= 0) close(in);
    if (out >= 0) close(out);
    return ok;
}

// Seconds taken to copy both files of the pair, both ways; negative on
// failure. What earlier writes left for the disk to do is done first, so
// that it is not counted here.
struct CopyFloor {
    double user = -1;   // read, write, fsync per file
    double kernel = -1; // in-kernel copy of both, then sync
};

double timedCopy(bool (*copy)(const fs::path&, const fs::path&), bool thenSync, const fs::path& target,
                 const fs::path& source, const fs::path& work) {
    ::sync();
    const auto start = Clock::now();
    bool ok = copy(target, work / "copy-target.mdb") && copy(source, work / "copy-source.mdb");
    if (thenSync) ::sync();
    double taken = seconds(start);
    fs::remove(work / "copy-target.mdb");
    fs::remove(work / "copy-source.mdb");
    return ok ? taken : -1;
}

CopyFloor copyFloor(const fs::path& target, const fs::path& source, const fs::path& work) {
    return {timedCopy(copyThroughUser, false, target, source, work),
            timedCopy(copyInKernel, true, target, source, work)};
}

// Resets the peak resident memory that VmHWM reports, so that each
// measurement sees only its own; false where the system cannot.
bool resetPeakMemory() {
    std::ofstream refs("/proc/self/clear_refs");
    return static_cast<bool>(refs << "5") && static_cast<bool>(refs.flush());
}

// Whether `file` exists and was written after every one of `inputs`.
bool newerThan(const fs::path& file, const std::vector<fs::path>& inputs) {
    std::error_code error;
    const auto written = fs::last_write_time(file, error);
    if (error) return false;
    for (const fs::path& input : inputs) {
        const auto made = fs::last_write_time(input, error);
        if (error || made >= written) return false;
    }
    return true;
}

bool generate(const fs::path& out, const std::string& profile, int seed, int scale, const fs::path& share = {}) {
    const fs::path bin = VELMORANT_BIN_DIR;
    std::vector<fs::path> inputs = {bin / "velmorant-cli", bin / "velmorant-blank.mdb"};
    if (!share.empty()) inputs.push_back(share);
    if (newerThan(out, inputs)) return true;
    const fs::path partial = out.string() + ".part";
    std::string command = "'" + (bin / "velmorant-cli").string() + "' generate '" + partial.string() + "' --seed " +
                          std::to_string(seed) + " --scale " + std::to_string(scale) + " --profile " + profile;
    if (!share.empty()) command += " --share-identifiers-with '" + share.string() + "'";
    if (std::system((command + " > /dev/null").c_str()) != 0) return false;
    fs::rename(partial, out);
    return true;
}

struct YesUi : merge::RunUi {
    int showMessage(const std::string&, int) override { return merge::mb::ResultYes; }
    void focusTarget() override {}
    void focusSource() override {}
    void setProgress(const std::string&) override {}
    void showOutcome(const std::string&, int) override {}
};

// One merge of the pair into a fresh copy of the target, with the copy
// floors measured just before and just after it (the disk and the other
// processes vary; the ratios are to the means of the two). False when
// something failed.
bool runOnce(const fs::path& target, const fs::path& source, const fs::path& work) {
    const fs::path merged = work / "merged.mdb";
    const CopyFloor floor = copyFloor(target, source, work);
    if (floor.user < 0 || floor.kernel < 0 || !copyThroughUser(target, merged)) {
        std::fprintf(stderr, "copying failed\n");
        return false;
    }
    const auto sizeBefore = fs::file_size(merged);
    ::sync(); // nor is the copy's writing counted in the merge
    const bool peakReset = resetPeakMemory();
    const long long writtenBefore = procField("io", "wchar:");
    const double cpuStart = cpuSeconds();
    const auto start = Clock::now();
    merge::KeyMaps maps;
    YesUi ui;
    merge::ImportResult result = merge::ImportDatabase(merged.string(), source.string(), maps, ui);
    const double wall = seconds(start);
    const double cpu = cpuSeconds() - cpuStart;
    const long long written = procField("io", "wchar:") - writtenBefore;
    const long long peakKb = procField("status", "VmHWM:");
    const CopyFloor after = copyFloor(target, source, work);
    const double userFloor = (floor.user + after.user) / 2, kernelFloor = (floor.kernel + after.kernel) / 2;

    long long walked = 0, copied = 0;
    for (const merge::StepCounts& s : result.steps) {
        walked += s.copied + s.skipped + s.refused;
        copied += s.copied;
    }
    const double perRow = copied ? 1e6 / double(copied) : 0.0;
    std::printf("files        target %.1f MiB, source %.1f MiB\n", mib(double(fs::file_size(target))),
                mib(double(fs::file_size(source))));
    std::printf("copy floor   %.3f s before, %.3f s after, mean %.3f s (both files read, written, fsync)\n", floor.user,
                after.user, userFloor);
    std::printf("cp floor     %.3f s before, %.3f s after, mean %.3f s (both files copied in the kernel, sync)\n",
                floor.kernel, after.kernel, kernelFloor);
    std::string outcome = result.outcome;
    for (std::size_t at; (at = outcome.find("\r\n")) != std::string::npos;) outcome.replace(at, 2, " / ");
    const double window = jet::lastCommitWindow();
    std::printf("merge        %.3f s wall, %.3f s processor, commit window %.3f s (%.1f %%), outcome: %s\n", wall, cpu,
                window, 100 * window / wall, outcome.c_str());
    std::printf("rows         %lld walked, %lld copied: %.0f rows/s walked, per copied row %.2f us processor, "
                "%.2f us wall\n",
                walked, copied, walked / wall, cpu * perRow, wall * perRow);
    std::printf("written      %.1f MiB (file grew %.1f MiB): %.1f MiB/s\n", mib(double(written)),
                mib(double(fs::file_size(merged) - sizeBefore)), mib(double(written)) / wall);
    std::printf("peak memory  %.1f MiB resident%s\n", peakKb / 1024.0, peakReset ? "" : " (whole process so far)");
    std::printf("ratio        merge / copy floor = %.2f, merge / cp floor = %.2f\n", wall / userFloor,
                wall / kernelFloor);
    std::ifstream loadavg("/proc/loadavg");
    std::string one, five;
    loadavg >> one >> five;
    std::printf("load         %s (1 min), %s (5 min) on %u processors\n", one.c_str(), five.c_str(),
                std::thread::hardware_concurrency());

    resetPeakMemory();
    const auto checkStart = Clock::now();
    jet::CheckReport report;
    jet::Status checked = jet::checkFile(merged.string(), &report);
    const double checkWall = seconds(checkStart);
    std::printf("check        %s (%.3f s, peak memory %.1f MiB resident%s)\n",
                !checked.ok() ? checked.message().c_str()
                : report.ok() ? "OK"
                              : report.problems.front().c_str(),
                checkWall, procField("status", "VmHWM:") / 1024.0, peakReset ? "" : ", whole process so far");
    fs::remove(merged);
    return !result.steps.empty() && after.user >= 0 && after.kernel >= 0 && checked.ok() &&
           report.ok(); // refusals are the data's, not a failure
}

// A generated target and the source merged into it.
struct Pair {
    std::string name;    // as --pairs names it
    std::string profile; // velmorant-cli generate --profile
    int scaleFactor;     // times the scale asked for
};

const Pair kPairs[] = {{"server", "server", 1}, {"dense", "dense", 1}, {"dense4", "dense", 4}};

bool runPair(const Pair& pair, int scale, int repeat) {
    const fs::path data = VELMORANT_BENCH_DATA;
    const fs::path work = data / "work";
    fs::create_directories(work);
    const std::string prefix = pair.profile == "server" ? "" : pair.profile + "-";
    const std::string suffix = std::to_string(scale * pair.scaleFactor) + ".mdb";
    const fs::path target = data / (prefix + "target-" + suffix);
    const fs::path source = data / (prefix + "source-" + suffix);
    std::printf("== %s pair, scale %d\n", pair.name.c_str(), scale * pair.scaleFactor);
    std::fflush(stdout);
    if (!generate(target, pair.profile, 1, scale * pair.scaleFactor) ||
        !generate(source, pair.profile, 2, scale * pair.scaleFactor, target)) {
        std::fprintf(stderr, "generating the files failed\n");
        return false;
    }
    bool ok = true;
    for (int i = 0; i < repeat; ++i) {
        if (i) std::printf("\n");
        ok = runOnce(target, source, work) && ok;
        std::fflush(stdout);
    }
    return ok;
}

// The pairs named in `list` (comma-separated); false for an unknown name.
bool choosePairs(const std::string& list, std::vector<const Pair*>* out) {
    out->clear();
    for (std::size_t from = 0; from <= list.size();) {
        std::size_t to = std::min(list.find(',', from), list.size());
        const std::string name = list.substr(from, to - from);
        const Pair* found = nullptr;
        for (const Pair& p : kPairs)
            if (p.name == name) found = &p;
        if (!found) return false;
        out->push_back(found);
        from = to + 1;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    int scale = 100, repeat = 1;
    std::vector<const Pair*> pairs;
    bool usage = !choosePairs("server,dense", &pairs);
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--quick") scale = 20;
        else if (arg == "--scale" && i + 1 < argc) scale = std::atoi(argv[++i]);
        else if (arg == "--repeat" && i + 1 < argc) repeat = std::atoi(argv[++i]);
        else if (arg == "--pairs" && i + 1 < argc) usage |= !choosePairs(argv[++i], &pairs);
        else usage = true;
    }
    if (usage || scale < 1 || repeat < 1) {
        std::fprintf(stderr, "Usage: bench_merge [--quick | --scale N] [--repeat N] [--pairs server,dense,dense4]\n");
        return 2;
    }
    bool ok = true;
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        if (i) std::printf("\n");
        ok = runPair(*pairs[i], scale, repeat) && ok;
    }
    return ok ? 0 : 1;
}
