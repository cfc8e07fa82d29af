// velmorant-test-child: the second process of the tests. Holds the database
// at PATH open for writing, says "y" (or "n" when it cannot) on its standard
// output, and ends when its standard input does.
//   hold PATH
#include <cstdio>
#include <cstring>
#include <memory>

#include "jet/io/pager.h"

int main(int argc, char** argv) {
    if (argc != 3 || std::strcmp(argv[1], "hold") != 0) {
        std::fprintf(stderr, "usage: velmorant-test-child hold PATH\n");
        return 2;
    }
    std::unique_ptr<jet::Pager> pager;
    std::fputc(jet::Pager::open(argv[2], jet::Pager::Mode::Exclusive, &pager).ok() ? 'y' : 'n', stdout);
    std::fflush(stdout);
    while (std::fgetc(stdin) != EOF) {}
    return 0;
}
