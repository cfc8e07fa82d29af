// velmorant-test-child: the second process of the tests. Reports on its
// standard output and ends when its standard input does, or when killed.
//   hold PATH          holds the database open for writing ("y", or "n"
//                      when it cannot)
//   write PATH COMMIT  writes pages in one transaction without end; says "c"
//                      after 400 of them and, when COMMIT is 1, commits and
//                      says "d"
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

void waitForEndOfInput() {
    while (std::fgetc(stdin) != EOF) {}
}

int hold(const std::string& path) {
    std::unique_ptr<Pager> pager;
    say(Pager::open(path, Pager::Mode::Exclusive, &pager).ok() ? 'y' : 'n');
    waitForEndOfInput();
    return 0;
}

jet::Page filled(std::uint8_t value) {
    jet::Page page;
    page.bytes.fill(value);
    return page;
}

// Page i%60 rewritten on odd steps, a page appended on even ones: the test
// knows from this what the file holds after step 400.
int write(const std::string& path, bool commit) {
    Pager::Options options;
    options.cachePages = 16;
    std::unique_ptr<Pager> pager;
    if (!Pager::open(path, Pager::Mode::Exclusive, options, &pager).ok() || !pager->begin().ok()) return 1;
    for (std::uint32_t i = 0;; ++i) {
        std::uint32_t pgno;
        jet::Status st = i % 2 ? pager->write(i % 60, filled(0xEE)) : pager->append(filled(0xEF), &pgno);
        if (!st.ok()) return 1;
        if (i == 400) {
            say('c');
            if (commit) {
                if (!pager->commit().ok()) return 1;
                say('d');
                waitForEndOfInput();
                return 0;
            }
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "hold") == 0) return hold(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "write") == 0) return write(argv[2], std::strcmp(argv[3], "1") == 0);
    std::fprintf(stderr, "usage: velmorant-test-child hold PATH | write PATH COMMIT\n");
    return 2;
}
