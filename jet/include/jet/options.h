// How a database file is opened.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace jet {

// Exclusive: no other open of the file, in this process or another, succeeds
// until close, and tables take new rows; the folder must take the log beside
// the file. ReadOnly: a shared lock, nothing is ever written (a file that may
// only be read opens); other readers may open the file, no writer can.
enum class OpenMode { ReadOnly, Exclusive };

class FileLayer; // the operating-system file beneath, replaceable for fault injection

// What an open did with a file an interrupted run had left beside the
// database (its write-ahead log, or an earlier release's journal), in a
// sentence for the user.
struct OpenNotice {
    enum class Kind {
        Completed, // a saved run was written into the database in full
        SetAside   // the file does not fit the database and was not used
    };
    Kind kind;
    std::string text;
};

struct OpenOptions {
    std::size_t cachePages = 4096; // 16 MiB of 4 KiB pages; 16 at the least
    // When set, the files are reached through this layer instead of the
    // real one (tests inject faults here).
    std::shared_ptr<FileLayer> file;
    // When set, learns what the open did with leftovers of an interrupted
    // run, also when the open fails afterwards.
    std::vector<OpenNotice>* notices = nullptr;
};

} // namespace jet
