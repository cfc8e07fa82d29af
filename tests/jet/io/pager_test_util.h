// Synthetic files and pages for the page-file tests.
#pragma once

#include <gtest/gtest.h>

#include "jet/io/pager.h"
#include "jet/value.h"
#include "support/files.h"

namespace jet::testing {

namespace fs = std::filesystem;
using test_files::pathOf;
using test_files::readAll;
using test_files::ScratchDir;
using test_files::utf8;
using test_files::writeAll;

// A file of `pages` pages, each with a pattern derived from its number.
inline Bytes syntheticFile(std::uint32_t pages) {
    Bytes bytes(std::size_t{pages} * kPageSize);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>((i / kPageSize) * 31 + i % 251);
    return bytes;
}

inline Page pageFilled(std::uint8_t value) {
    Page page;
    page.bytes.fill(value);
    return page;
}

inline Bytes pageBytes(const Bytes& file, std::uint32_t pgno) {
    auto at = file.begin() + static_cast<std::ptrdiff_t>(std::size_t{pgno} * kPageSize);
    return Bytes(at, at + kPageSize);
}
inline Bytes pageBytes(const PageRef& page) { return Bytes(page->bytes.begin(), page->bytes.end()); }

// Every page of the file as the pager reads it.
inline Bytes allPages(Pager& pager) {
    Bytes bytes;
    for (std::uint32_t pgno = 0; pgno < pager.pageCount(); ++pgno) {
        PageRef page;
        Status st = pager.read(pgno, &page);
        EXPECT_TRUE(st.ok()) << st.message();
        if (!st.ok()) break;
        bytes.insert(bytes.end(), page->bytes.begin(), page->bytes.end());
    }
    return bytes;
}

} // namespace jet::testing
