// Damaged and hostile files: every one gives a clear status naming what was
// found where, and none crashes, hangs or allocates without bound.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "jet/util/bytes.h"
#include "jet/db/database_impl.h"
#include "jet/dump_json.h"
#include "support/files.h"

namespace fs = std::filesystem;
using jet::Bytes;
using jet::Status;
using Code = jet::Status::Code;

namespace {

constexpr std::size_t kPage = 4096;

class Damage : public ::testing::Test {
protected:
    void SetUp() override {
        sample_ = test_files::readAll(test_files::testData("sample.mdb"));
        ASSERT_GT(sample_.size(), 100 * kPage);
    }

    // Writes `bytes` to the scratch file, opens it and dumps every table.
    Status dump(const Bytes& bytes) {
        test_files::writeAll(path_, bytes);
        std::unique_ptr<jet::Database> db;
        JET_TRY(jet::Database::open(path_, jet::Pager::Mode::ReadOnly, &db));
        std::ostringstream sink;
        return jet::writeDump(*db, sink);
    }

    // The first data page of a table of the pristine sample and the bounds of its slot 0.
    std::uint32_t firstDataPage(const char* table) {
        test_files::writeAll(path_, sample_);
        std::unique_ptr<jet::Database> db;
        std::unique_ptr<jet::Table> t;
        std::vector<std::uint32_t> pages;
        EXPECT_TRUE(jet::Database::open(path_, jet::Pager::Mode::ReadOnly, &db).ok());
        EXPECT_TRUE(db->openTable(table, &t).ok());
        EXPECT_TRUE(impl(*t).dataPages(&pages).ok());
        return pages.at(0);
    }
    std::uint16_t slotStart(const Bytes& b, std::uint32_t page, int slot) {
        return jet::le16(&b[page * kPage + 14 + 2 * slot]) & 0x1FFF;
    }
    static void put32(Bytes* b, std::size_t at, std::uint32_t v) { jet::putLe32(&(*b)[at], v); }

    Bytes sample_;
    test_files::ScratchDir dir_{"velmorant-damage"};
    std::string path_ = dir_.file("damaged.mdb");
};

} // namespace

// Foreign, encrypted and other kinds of files are refused by the open tests
// of hostile input.
TEST_F(Damage, TruncatedFile) {
    for (std::size_t pages : {2, 3, 40, 200}) {
        Status s = dump(Bytes(sample_.begin(), sample_.begin() + pages * kPage));
        EXPECT_EQ(s.code(), Code::Corrupt) << pages << ": " << s.message();
    }
}

// Rows, variable-length fields, moved rows and table definitions pointing
// where they cannot: a Corrupt status naming what was found where.
TEST_F(Damage, PointersOutsideTheirBoundsAreNamed) {
    const std::uint32_t page = firstDataPage("alarmy");
    const std::size_t at = page * kPage, row = at + slotStart(sample_, page, 0), end = at + kPage;
    const std::size_t mask = (jet::le16(&sample_[row]) + 7) / 8; // null mask after the variable offsets
    const std::size_t vars = end - mask - 2, eod = vars - 2 - 2 * jet::le16(&sample_[vars]);
    const std::string named = "strana " + std::to_string(page);
    struct Case {
        const char* what;
        std::function<void(Bytes&)> damage;
        std::string mention;
    };
    const Case cases[] = {
        {"slot 0 inside the slot table", [&](Bytes& b) { b[at + 14] = 0x05, b[at + 15] = 0x00; }, named},
        {"slot 0 inside the slot table, in the table", [&](Bytes& b) { b[at + 14] = 0x05, b[at + 15] = 0; }, "alarmy"},
        {"more slots than the page holds", [&](Bytes& b) { b[at + 12] = 0xFF, b[at + 13] = 0x0F; }, named},
        {"end of the variable data past the row", [&](Bytes& b) { b[eod] = 0xFF, b[eod + 1] = 0x0F; }, "alarmy"},
        {"more variable fields than the row holds", [&](Bytes& b) { b[vars] = 0xF0; }, named},
        {"moved row pointing to itself",
         [&](Bytes& b) { b[at + 15] |= 0x40, put32(&b, row, page << 8); }, "slučku"},
        {"moved row pointing past the file",
         [&](Bytes& b) { b[at + 15] |= 0x40, put32(&b, row, 0xFFFFFF00); }, "mimo súboru"},
        // The catalogue's definition continues on itself and claims to be long.
        {"definition chain", [&](Bytes& b) { put32(&b, 2 * kPage + 4, 2), put32(&b, 2 * kPage + 8, 900000); }, ""},
        {"definition length", [&](Bytes& b) { put32(&b, 2 * kPage + 8, 0xFFFFFFFF); }, ""},
        {"owned-pages map past the end", [&](Bytes& b) { put32(&b, 2 * kPage + 55, 0x7FFFFF00); }, "mimo súboru"},
    };
    for (const Case& c : cases) {
        Bytes b = sample_;
        c.damage(b);
        const Status s = dump(b);
        EXPECT_EQ(s.code(), Code::Corrupt) << c.what << ": " << s.message();
        EXPECT_NE(s.message().find(c.mention), std::string::npos) << c.what << ": " << s.message();
    }
}
