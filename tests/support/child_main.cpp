// velmorant-test-child: the second process of the tests. Reports on its
// standard output and ends when its standard input does, or when killed.
//   hold PATH          holds the database open for writing ("y", or "n")
//   read PATH          holds it open for reading ("y", or "n")
//   write PATH COMMIT  rewrites page i%60 on odd steps and appends a page on
//                      even ones in one transaction without end; says "c"
//                      after step 400 and, when COMMIT is 1, commits there
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "jet/io/pager.h"

namespace {

using jet::Pager;

void say(char c) {
    std::fputc(c, stdout);
    std::fflush(stdout);
}

int waitForEndOfInput() {
    while (std::fgetc(stdin) != EOF) {}
    return 0;
}

int hold(const std::string& path, Pager::Mode mode) {
    std::unique_ptr<Pager> pager;
    say(Pager::open(path, mode, &pager).ok() ? 'y' : 'n');
    return waitForEndOfInput();
}

int write(const std::string& path, bool commit) {
    Pager::Options options;
    options.cachePages = 16;
    std::unique_ptr<Pager> pager;
    if (!Pager::open(path, Pager::Mode::Exclusive, options, &pager).ok() || !pager->begin().ok()) return 1;
    jet::Page changed, added;
    changed.bytes.fill(0xEE);
    added.bytes.fill(0xEF);
    for (std::uint32_t i = 0;; ++i) {
        std::uint32_t pgno;
        if (!(i % 2 ? pager->write(i % 60, changed) : pager->append(added, &pgno)).ok()) return 1;
        if (i == 400) {
            say('c');
            if (commit) return pager->commit().ok() ? waitForEndOfInput() : 1;
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "hold") == 0) return hold(argv[2], Pager::Mode::Exclusive);
    if (argc == 3 && std::strcmp(argv[1], "read") == 0) return hold(argv[2], Pager::Mode::ReadOnly);
    if (argc == 4 && std::strcmp(argv[1], "write") == 0) return write(argv[2], std::strcmp(argv[3], "1") == 0);
    std::fprintf(stderr, "usage: velmorant-test-child hold PATH | read PATH | write PATH COMMIT\n");
    return 2;
}
