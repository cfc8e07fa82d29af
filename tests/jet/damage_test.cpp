// Damaged and hostile files: every one gives a clear status naming what was
// found where, and none crashes, hangs or allocates without bound.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "jet/bytes.h"
#include "jet/database.h"
#include "jet/dump_json.h"
#include "test_files.h"

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

TEST_F(Damage, FilesThatAreNotJet) {
    EXPECT_EQ(dump({}).code(), Code::NotJet);
    EXPECT_EQ(dump(Bytes(2 * kPage, 0)).code(), Code::NotJet);
    std::string text(3 * kPage, 'x');
    EXPECT_EQ(dump(Bytes(text.begin(), text.end())).code(), Code::NotJet);
    EXPECT_EQ(dump(Bytes(sample_.begin(), sample_.begin() + 10000)).code(), Code::NotJet);
}

TEST_F(Damage, OtherJetKindsAreUnsupported) {
    Bytes jet3(sample_.begin(), sample_.begin() + 4 * kPage);
    jet3[0x14] = 0x00;
    Status s = dump(jet3);
    EXPECT_EQ(s.code(), Code::Unsupported);
    EXPECT_NE(s.message().find("Jet 3"), std::string::npos);
    jet3.resize(4 * kPage + 2048); // Jet 3 files are whole 2 KB pages
    EXPECT_EQ(dump(jet3).code(), Code::Unsupported);

    Bytes ace = sample_;
    std::memcpy(&ace[4], "Standard ACE DB", 15);
    ace[0x14] = 0x02;
    s = dump(ace);
    EXPECT_EQ(s.code(), Code::Unsupported);
    EXPECT_NE(s.message().find("ACE"), std::string::npos);

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

TEST_F(Damage, LongValueChainThatLoops) {
    // A chunk of a chained memo: an LVAL row filling its page whose pointer
    // leads to another LVAL row. Point that one back at the first.
    bool found = false;
    for (std::size_t p = 3; p < sample_.size() / kPage && !found; ++p) {
        const std::uint8_t* page = &sample_[p * kPage];
        if (page[0] != 0x01 || std::memcmp(page + 4, "LVAL", 4) != 0 || jet::le16(page + 12) == 0) continue;
        std::uint16_t start = jet::le16(page + 14) & 0x1FFF;
        if (kPage - start < 4000) continue;
        std::uint32_t next = jet::le32(page + start);
        std::uint32_t nextPage = next >> 8;
        if (next == 0 || nextPage >= sample_.size() / kPage) continue;
        const std::uint8_t* np = &sample_[nextPage * kPage];
        if (std::memcmp(np + 4, "LVAL", 4) != 0) continue;
        Bytes b = sample_;
        std::uint16_t nextStart = jet::le16(np + 14 + 2 * (next & 0xFF)) & 0x1FFF;
        put32(&b, nextPage * kPage + nextStart, static_cast<std::uint32_t>(p << 8));
        expectCorruptAt(dump(b), "zacyklila");
        found = true;
    }
    EXPECT_TRUE(found) << "no chained memo in the sample";
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

// Random damage: whatever comes out, it is a status, not a crash or a hang.
TEST_F(Damage, RandomBytesNeverCrash) {
    std::mt19937 rng(20240611);
    std::size_t pages = sample_.size() / kPage;
    int failures = 0;
    for (int round = 0; round < 150; ++round) {
        Bytes b = sample_;
        int hits = 1 + static_cast<int>(rng() % 8);
        for (int i = 0; i < hits; ++i) {
            std::size_t page = 1 + rng() % (pages - 1);
            std::size_t at = page * kPage + rng() % kPage;
            b[at] = static_cast<std::uint8_t>(rng());
        }
        if (!dump(b)) ++failures;
    }
    std::cout << failures << " of 150 damaged copies were refused\n";
}
