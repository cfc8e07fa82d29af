// Appends rows to downloadovane_identifikatory (primary key: a long and a
// text) of a copy of the blank fixture in one transaction and prints rows/s,
// the file size and the peak resident memory.
// Usage: bench_append [ROWS] [OUTPUT.mdb]; 1 000 000 rows by default, the
// copy in the temporary folder (removed afterwards unless OUTPUT is given).
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "jet/database.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

int fail(const char* step, const jet::Status& s) {
    std::fprintf(stderr, "%s: %s\n", step, s.message().c_str());
    return 1;
}

rusage usage() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u;
}

double cpuSeconds(const rusage& u) {
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    const long rows = argc > 1 ? std::atol(argv[1]) : 1000000;
    const bool keep = argc > 2;
    const fs::path file = keep ? fs::path(argv[2]) : fs::temp_directory_path() / "velmorant-bench-append.mdb";
    fs::copy_file(fs::path(VELMORANT_TEST_DATA) / "blank.mdb", file, fs::copy_options::overwrite_existing);

    std::unique_ptr<jet::Database> db;
    if (auto s = jet::Database::open(file.string(), jet::OpenMode::Exclusive, &db); !s.ok()) return fail("open", s);
    std::unique_ptr<jet::Table> table;
    if (auto s = db->openTable("downloadovane_identifikatory", &table); !s.ok()) return fail("table", s);

    const double cpuStart = cpuSeconds(usage());
    const auto start = Clock::now();
    if (auto s = db->begin(); !s.ok()) return fail("begin", s);
    std::vector<jet::Value> row(4);
    char16_t id[12] = u"K0000000000";
    for (long i = 0; i < rows; ++i) {
        for (long n = i, k = 10; k > 0; --k, n /= 10) id[k] = static_cast<char16_t>(u'0' + n % 10);
        row[0] = std::int64_t{i % 65536};
        row[1] = std::int64_t{1 + i / 250000};
        row[2] = std::u16string(id, 11);
        row[3] = std::u16string(u"4711");
        if (auto s = table->append(&row); !s.ok()) return fail("append", s);
    }
    if (auto s = db->commit(); !s.ok()) return fail("commit", s);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const double cpu = cpuSeconds(usage()) - cpuStart;
    db.reset();

    std::printf("rows %ld in %.2f s: %.0f rows/s\n", rows, seconds, rows / seconds);
    std::printf("processor time %.2f s: %.0f rows/s\n", cpu, rows / cpu);
    std::printf("file size %.1f MB\n", static_cast<double>(fs::file_size(file)) / 1e6);
    std::printf("peak RSS %.1f MB\n", static_cast<double>(usage().ru_maxrss) / 1024.0);
    if (!keep) fs::remove(file);
    return 0;
}
