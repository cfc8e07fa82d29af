// How a database file is opened.
#pragma once

#include <cstddef>
#include <memory>

namespace jet {

// Exclusive: no other open of the file, in this process or another, succeeds
// until close, and tables take new rows; the folder must take the log beside
// the file. ReadOnly: a shared lock, nothing is ever written (a file that may
// only be read opens); other readers may open the file, no writer can.
enum class OpenMode { ReadOnly, Exclusive };

class FileLayer; // the operating-system file beneath, replaceable for fault injection

struct OpenOptions {
    std::size_t cachePages = 4096; // 16 MiB of 4 KiB pages; 16 at the least
    // When set, the files are reached through this layer instead of the
    // real one (tests inject faults here).
    std::shared_ptr<FileLayer> file;
};

} // namespace jet
