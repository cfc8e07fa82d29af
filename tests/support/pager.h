// Synthetic files and pages, and disk images kept in memory, for the
// page-file tests.
#pragma once

#include <gtest/gtest.h>

#include <random>

#include "jet/io/pager.h"
#include "jet/value.h"
#include "jet/io/wal.h"
#include "support/fault_file_layer.h"
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

using Image = std::map<std::string, Bytes>; // the files of a disk, by path
constexpr const char* kDbPath = "/disk/db.mdb";

// A pager on the database of the disk `layer` stands for.
inline Status openPager(std::shared_ptr<FileLayer> layer, Pager::Mode mode, std::unique_ptr<Pager>* pager,
                        std::size_t cachePages = Pager::Options{}.cachePages) {
    Pager::Options options;
    options.file = std::move(layer);
    options.cachePages = cachePages;
    return Pager::open(kDbPath, mode, options, pager);
}

inline std::shared_ptr<FaultFileLayer> holding(const Image& image) {
    auto layer = std::make_shared<FaultFileLayer>();
    for (const auto& [path, bytes] : image) layer->put(path, bytes);
    return layer;
}

// What a reader finds on a disk image after a crash; it writes nothing.
inline Bytes readerSees(const Image& image) {
    auto layer = holding(image);
    std::unique_ptr<Pager> pager;
    Status st = openPager(layer, Pager::Mode::ReadOnly, &pager);
    EXPECT_TRUE(st.ok()) << st.message();
    Bytes seen = pager ? allPages(*pager) : Bytes{};
    EXPECT_EQ(layer->changes(), 0u);
    return seen;
}

// What the next writer makes of a disk image after a crash, crashing itself
// after `crashAfter` changes (the disk then holding a random part of the
// unflushed ones).
inline Image recover(const Image& image, std::uint64_t crashAfter = UINT64_MAX) {
    auto layer = holding(image);
    layer->crashAfter(crashAfter);
    std::unique_ptr<Pager> pager;
    Status st = openPager(layer, Pager::Mode::Exclusive, &pager);
    EXPECT_EQ(st.ok(), !layer->crashed()) << st.message();
    std::mt19937 random(static_cast<unsigned>(crashAfter));
    Image after = layer->disk([&] { return random() % 2 == 0; });
    EXPECT_TRUE(layer->crashed() || !after.count(logPathOf(kDbPath)));
    return after;
}

} // namespace jet::testing
