// Damaged and hostile files: every one gives a clear status naming what was
// found where, and none crashes, hangs or allocates without bound.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "jet/bytes.h"
#include "jet/database.h"
#include "jet/dump_json.h"
#include "support/files.h"

namespace fs = std::filesystem;
using jet::Status;
using Code = jet::Status::Code;
using Bytes = std::vector<std::uint8_t>;

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
        EXPECT_TRUE(jet::Database::open(path_, jet::Pager::Mode::ReadOnly, &db));
        EXPECT_TRUE(db->openTable(table, &t));
        EXPECT_TRUE(t->dataPages(&pages));
        return pages.at(0);
    }
    std::uint16_t slotStart(const Bytes& b, std::uint32_t page, int slot) {
        return jet::le16(&b[page * kPage + 14 + 2 * slot]) & 0x1FFF;
    }
    void put32(Bytes* b, std::size_t at, std::uint32_t v) { jet::putLe32(&(*b)[at], v); }
    static void expectCorruptAt(const Status& s, const std::string& mention) {
        EXPECT_EQ(s.code(), Code::Corrupt) << s.message();
        EXPECT_NE(s.message().find(mention), std::string::npos) << s.message();
    }

    Bytes sample_;
    test_files::ScratchDir dir_{"velmorant-damage"};
    std::string path_ = dir_.file("damaged.mdb");
};

} // namespace

// Foreign files and other Jet kinds are refused by the open tests of hostile
// input; an encrypted file is refused too.
TEST_F(Damage, EncryptedFileIsUnsupported) {
    Bytes encrypted = sample_;
    encrypted[0x3E] ^= 0x01; // the key lies in the masked region
    EXPECT_EQ(dump(encrypted).code(), Code::Unsupported);
}

TEST_F(Damage, TruncatedFile) {
    for (std::size_t pages : {2, 3, 40, 200}) {
        Status s = dump(Bytes(sample_.begin(), sample_.begin() + pages * kPage));
        EXPECT_EQ(s.code(), Code::Corrupt) << pages << ": " << s.message();
    }
}

TEST_F(Damage, RowOffsetsOutsideThePage) {
    std::uint32_t page = firstDataPage("alarmy");
    Bytes b = sample_;
    b[page * kPage + 14] = 0x05; // slot 0 starts inside the slot table
    b[page * kPage + 15] = 0x00;
    expectCorruptAt(dump(b), "strana " + std::to_string(page));
    expectCorruptAt(dump(b), "alarmy");

    b = sample_;
    b[page * kPage + 12] = 0xFF; // more slots than the page can hold
    b[page * kPage + 13] = 0x0F;
    expectCorruptAt(dump(b), "strana " + std::to_string(page));
}

TEST_F(Damage, VariableOffsetsOutsideTheRow) {
    std::uint32_t page = firstDataPage("alarmy");
    Bytes b = sample_;
    std::size_t start = page * kPage + slotStart(b, page, 0);
    std::size_t end = page * kPage + kPage;
    std::size_t mask = (jet::le16(&b[start]) + 7) / 8;
    std::uint16_t vars = jet::le16(&b[end - mask - 2]);
    std::size_t eod = end - mask - 4 - 2 * vars;
    b[eod] = 0xFF;
    b[eod + 1] = 0x0F;
    expectCorruptAt(dump(b), "alarmy");

    b = sample_;
    b[end - mask - 2] = 0xF0; // more variable slots than the row holds
    expectCorruptAt(dump(b), "strana " + std::to_string(page));
}

TEST_F(Damage, MovedRowLoopsAndPointsAway) {
    std::uint32_t page = firstDataPage("alarmy");
    std::size_t slot0 = page * kPage + 14;
    Bytes b = sample_;
    b[slot0 + 1] |= 0x40; // slot 0 becomes a pointer to itself
    put32(&b, page * kPage + slotStart(b, page, 0), page << 8);
    expectCorruptAt(dump(b), "slučku");

    b = sample_;
    b[slot0 + 1] |= 0x40;
    put32(&b, page * kPage + slotStart(b, page, 0), 0xFFFFFF00);
    expectCorruptAt(dump(b), "mimo súboru");
}

TEST_F(Damage, DefinitionChainAndMaps) {
    Bytes b = sample_;
    put32(&b, 2 * kPage + 4, 2);      // the catalogue's definition continues on itself
    put32(&b, 2 * kPage + 8, 900000); // and claims to be long
    EXPECT_EQ(dump(b).code(), Code::Corrupt);

    b = sample_;
    put32(&b, 2 * kPage + 8, 0xFFFFFFFF);
    EXPECT_EQ(dump(b).code(), Code::Corrupt);

    b = sample_;
    put32(&b, 2 * kPage + 55, 0x7FFFFF00); // owned-pages map far past the end
    expectCorruptAt(dump(b), "mimo súboru");
}

