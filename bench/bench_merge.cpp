// One whole import run of a generated source file into a copy of a
// generated target file, timed against the plain copy of the two files
// (read, write, fsync: the least any merge has to pay for the disk).
// Prints wall and processor time (also per appended row), the commit window
// (how long the target's original pages were half overwritten), rows/s,
// bytes written, peak resident memory, the ratio of the merge to the copy,
// and checks the result.
// Usage: bench_merge [--quick | --scale N] [--repeat N]
// Scale 100 by default, 20 with --quick; 400 is a server some years old.
// The generated pair is kept in the build folder and made again when
// missing or older than what made it (the generator, its blank database,
// the file it shares identifiers with).
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

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
bool copyFile(const fs::path& from, const fs::path& to) {
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

// Seconds taken to copy both files of the pair; negative on failure. What
// earlier writes left for the disk to do is done first, so that it is not
// counted here.
double copyFloor(const fs::path& target, const fs::path& source, const fs::path& work) {
    ::sync();
    const auto start = Clock::now();
    bool ok = copyFile(target, work / "copy-target.mdb") && copyFile(source, work / "copy-source.mdb");
    double taken = seconds(start);
    fs::remove(work / "copy-target.mdb");
    fs::remove(work / "copy-source.mdb");
    return ok ? taken : -1;
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

bool generate(const fs::path& out, int seed, int scale, const fs::path& share = {}) {
    const fs::path bin = VELMORANT_BIN_DIR;
    std::vector<fs::path> inputs = {bin / "velmorant-cli", bin / "velmorant-blank.mdb"};
    if (!share.empty()) inputs.push_back(share);
    if (newerThan(out, inputs)) return true;
    const fs::path partial = out.string() + ".part";
    std::string command = "'" + (bin / "velmorant-cli").string() + "' generate '" + partial.string() + "' --seed " +
                          std::to_string(seed) + " --scale " + std::to_string(scale);
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
// floor measured just before and just after it (the disk and the other
// processes vary; the ratio is to the mean of the two). False when
// something failed.
bool runOnce(const fs::path& target, const fs::path& source, const fs::path& work) {
    const fs::path merged = work / "merged.mdb";
    const double floor = copyFloor(target, source, work);
    if (floor < 0 || !copyFile(target, merged)) {
        std::fprintf(stderr, "copying failed\n");
        return false;
    }
    const auto sizeBefore = fs::file_size(merged);
    ::sync(); // nor is the copy's writing counted in the merge
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
    const double floorAfter = copyFloor(target, source, work);
    const double meanFloor = (floor + floorAfter) / 2;

    long long walked = 0, copied = 0;
    for (const merge::StepCounts& s : result.steps) {
        walked += s.copied + s.skipped + s.refused;
        copied += s.copied;
    }
    std::printf("files        target %.1f MiB, source %.1f MiB\n", mib(double(fs::file_size(target))),
                mib(double(fs::file_size(source))));
    std::printf("copy floor   %.3f s before, %.3f s after, mean %.3f s (both files read, written, fsync)\n", floor,
                floorAfter, meanFloor);
    std::string outcome = result.outcome;
    for (std::size_t at; (at = outcome.find("\r\n")) != std::string::npos;) outcome.replace(at, 2, " / ");
    std::printf("merge        %.3f s wall, %.3f s processor, commit window %.3f s, outcome: %s\n", wall, cpu,
                jet::lastCommitWindow(), outcome.c_str());
    std::printf("rows         %lld walked, %lld copied: %.0f rows/s walked, %.2f us processor per copied row\n", walked,
                copied, walked / wall, copied ? cpu * 1e6 / double(copied) : 0.0);
    std::printf("written      %.1f MiB (file grew %.1f MiB): %.1f MiB/s\n", mib(double(written)),
                mib(double(fs::file_size(merged) - sizeBefore)), mib(double(written)) / wall);
    std::printf("peak memory  %.1f MiB resident\n", peakKb / 1024.0);
    std::printf("ratio        merge / copy floor = %.2f\n", wall / meanFloor);
    std::ifstream loadavg("/proc/loadavg");
    std::string one, five;
    loadavg >> one >> five;
    std::printf("load         %s (1 min), %s (5 min) on %u processors\n", one.c_str(), five.c_str(),
                std::thread::hardware_concurrency());

    jet::CheckReport report;
    jet::Status checked = jet::checkFile(merged.string(), &report);
    std::printf("check        %s\n", !checked.ok() ? checked.message().c_str()
                                     : report.ok() ? "OK"
                                                   : report.problems.front().c_str());
    fs::remove(merged);
    return !result.steps.empty() && floorAfter >= 0 && checked.ok() &&
           report.ok(); // refusals are the data's, not a failure
}

} // namespace

int main(int argc, char** argv) {
    int scale = 100, repeat = 1;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--quick") scale = 20;
        else if (arg == "--scale" && i + 1 < argc) scale = std::atoi(argv[++i]);
        else if (arg == "--repeat" && i + 1 < argc) repeat = std::atoi(argv[++i]);
        else {
            std::fprintf(stderr, "Usage: bench_merge [--quick | --scale N] [--repeat N]\n");
            return 2;
        }
    }
    const fs::path data = VELMORANT_BENCH_DATA;
    const fs::path work = data / "work";
    fs::create_directories(work);
    const fs::path target = data / ("target-" + std::to_string(scale) + ".mdb");
    const fs::path source = data / ("source-" + std::to_string(scale) + ".mdb");
    if (!generate(target, 1, scale) || !generate(source, 2, scale, target)) {
        std::fprintf(stderr, "generating the files failed\n");
        return 1;
    }
    bool ok = true;
    for (int i = 0; i < repeat; ++i) {
        if (i) std::printf("\n");
        ok = runOnce(target, source, work) && ok;
    }
    return ok ? 0 : 1;
}
