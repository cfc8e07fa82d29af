// Scans and dumps a database repeatedly and prints rows/s and MB/s.
// Usage: bench_dump [FILE.mdb] [SECONDS]; without a file, the largest of
// the fixtures and the Access samples.
#include <chrono>
#include <ctime>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <streambuf>
#include <string>

#include "jet/database.h"
#include "jet/dump_json.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// Counts what is written and throws it away.
class NullBuffer : public std::streambuf {
public:
    std::size_t bytes = 0;

protected:
    int overflow(int c) override {
        ++bytes;
        return c;
    }
    std::streamsize xsputn(const char*, std::streamsize n) override {
        bytes += static_cast<std::size_t>(n);
        return n;
    }
};

std::string largestDatabase() {
    std::string best;
    std::uintmax_t bestSize = 0;
    for (const char* dir : {VELMORANT_TEST_DATA, VELMORANT_JET_SAMPLES}) {
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(dir, ec)) {
            if (e.path().extension() != ".mdb" || e.path().stem().string().ends_with("V1997")) continue;
            if (e.file_size() > bestSize) {
                bestSize = e.file_size();
                best = e.path().string();
            }
        }
    }
    return best;
}

bool fail(const jet::Status& s) {
    std::fprintf(stderr, "%s\n", s.message().c_str());
    return false;
}

struct Counts {
    std::size_t rows = 0, pages = 0, bytes = 0;
};

// One pass over every user table: rows and data pages read.
bool scan(const std::string& path, Counts* n) {
    std::unique_ptr<jet::Database> db;
    jet::Status s = jet::Database::open(path, jet::OpenMode::ReadOnly, &db);
    if (!s.ok()) return fail(s);
    for (const std::string& name : db->userTables()) {
        std::unique_ptr<jet::Table> table;
        if (!(s = db->openTable(name, &table)).ok()) return fail(s);
        std::size_t pages = 0;
        if (!(s = table->dataPageCount(&pages)).ok()) return fail(s);
        n->pages += pages;
        jet::Table::Cursor cursor(*table);
        for (bool has = true;;) {
            if (!(s = cursor.next(&has)).ok()) return fail(s);
            if (!has) break;
            ++n->rows;
        }
    }
    return true;
}

bool dump(const std::string& path, Counts* n) {
    std::unique_ptr<jet::Database> db;
    jet::Status s = jet::Database::open(path, jet::OpenMode::ReadOnly, &db);
    if (!s.ok()) return fail(s);
    std::size_t rows = 0, pages = 0;
    for (const std::string& name : db->userTables()) {
        std::unique_ptr<jet::Table> table;
        if (!(s = db->openTable(name, &table)).ok()) return fail(s);
        std::size_t owned = 0;
        if (!(s = table->dataPageCount(&owned)).ok()) return fail(s);
        rows += table->rowCount();
        pages += owned;
    }
    n->rows += rows;
    n->pages += pages;
    NullBuffer sink;
    std::ostream out(&sink);
    if (!(s = jet::writeDump(*db, out)).ok()) return fail(s);
    n->bytes += sink.bytes;
    return true;
}

template <class Pass> void measure(const char* what, double seconds, Pass pass) {
    Counts n;
    int passes = 0;
    auto start = Clock::now();
    std::clock_t cpuStart = std::clock();
    double elapsed = 0;
    while (elapsed < seconds) {
        if (!pass(&n)) return;
        ++passes;
        elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    }
    double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    // Per CPU second too: the figures of a busy machine's wall clock vary.
    std::printf("%-5s %5d passes in %.2f s (%.2f s CPU): %.0f rows/s, %.1f MB/s of table data pages, "
                "%.1f MB/s of JSON; per CPU second %.0f rows, %.1f MB of pages\n",
                what, passes, elapsed, cpu, n.rows / elapsed, n.pages * 4096.0 / (1 << 20) / elapsed,
                n.bytes / double(1 << 20) / elapsed, n.rows / cpu, n.pages * 4096.0 / (1 << 20) / cpu);
}

} // namespace

int main(int argc, char** argv) {
    std::string path = argc > 1 && argv[1][0] ? argv[1] : largestDatabase();
    double seconds = argc > 2 ? std::stod(argv[2]) : 3.0;
    if (path.empty()) {
        std::fprintf(stderr, "no database to measure\n");
        return 1;
    }
    double mb = static_cast<double>(fs::file_size(path)) / (1024.0 * 1024.0);
    std::printf("%s (%.2f MB)\n", path.c_str(), mb);
    measure("scan", seconds, [&](Counts* n) { return scan(path, n); });
    measure("dump", seconds, [&](Counts* n) { return dump(path, n); });
    return 0;
}
