// The checker on real files: every fixture and every Access-written Jet 4
// sample checks clean with every index walked and every key re-encoded, and
// damaged copies are reported instead of crashing the check.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "jet/check.h"
#include "jet/data_page.h"
#include "jet/database.h"
#include "support/files.h"

using namespace jet;
namespace fs = std::filesystem;

namespace {

using test_files::jet4Samples;

std::size_t realIndexCount(const fs::path& file) {
    std::unique_ptr<Database> db;
    EXPECT_TRUE(Database::open(file, Pager::Mode::ReadOnly, &db).isOk());
    std::size_t n = 0;
    for (const TableInfo& t : db->tables()) {
        std::unique_ptr<Table> table;
        if (t.kind != TableInfo::Kind::Linked && db->openTable(t.name, &table).isOk())
            n += table->def().realIndexes.size();
    }
    return n;
}

CheckReport checked(const fs::path& file) {
    CheckReport r;
    Status s = checkFile(file, &r);
    EXPECT_TRUE(s.isOk()) << file << ": " << s.message();
    return r;
}

CheckReport expectClean(const fs::path& file) {
    SCOPED_TRACE(file.filename().string());
    const CheckReport r = checked(file);
    for (const std::string& p : r.problems) ADD_FAILURE() << p;
    EXPECT_EQ(r.indexes, realIndexCount(file)) << "every index walked";
    EXPECT_GT(r.tables, 0u);
    EXPECT_GT(r.entries, 0u);
    return r;
}

} // namespace

TEST(Check, EveryFixtureIsClean) {
    for (const fs::path& f : test_files::mdbFilesIn(VELMORANT_TEST_DATA)) expectClean(f);
    const CheckReport r = checked(fs::path(VELMORANT_TEST_DATA) / "sample.mdb");
    EXPECT_GT(r.longValues, 100u);
    EXPECT_EQ(r.keysNotCompared, 0u);
    EXPECT_TRUE(r.notes.empty());
}

// Clean, and our General-order encoder gives the text keys Access wrote.
TEST(Check, EveryAccessWrittenJet4SampleIsCleanWithItsTextKeys) {
    const auto samples = jet4Samples();
    if (samples.empty()) GTEST_SKIP() << "no Access-written samples at " VELMORANT_JET_SAMPLES;
    std::uint64_t compared = 0, notCompared = 0;
    for (const fs::path& f : samples) {
        for (const IndexSummary& s : expectClean(f).indexSummaries) {
            if (!s.text) continue;
            compared += s.keysCompared;
            notCompared += s.keysNotCompared;
            EXPECT_EQ(s.keysCompared + s.keysNotCompared, s.entries) << f << " " << s.table << "." << s.index;
        }
    }
    std::cout << "text keys matched " << compared << ", refused " << notCompared << "\n";
    EXPECT_GT(compared, 500u);
    EXPECT_LE(notCompared, 3u); // Cyrillic, Greek and Japanese names in one sample
}

// Slovak and Czech letters above U+00FF, written by the fixture generator.
TEST(Check, SlovakNameKeysMatch) {
    const fs::path file = fs::path(VELMORANT_TEST_DATA) / "sample.mdb";
    const CheckReport r = checked(file);
    const IndexSummary* names = nullptr;
    for (const IndexSummary& s : r.indexSummaries)
        if (s.table == "identifikatory" && s.index.find("ix_ident_meno") != std::string::npos) names = &s;
    ASSERT_NE(names, nullptr);
    EXPECT_GT(names->entries, 0u);
    EXPECT_EQ(names->keysCompared, names->entries);

    std::unique_ptr<Database> db;
    ASSERT_TRUE(Database::open(file, Pager::Mode::ReadOnly, &db).isOk());
    std::unique_ptr<Table> t;
    ASSERT_TRUE(db->openTable("identifikatory", &t).isOk());
    const auto* col = t->def().column("meno_majitela");
    ASSERT_NE(col, nullptr);
    const std::size_t at = static_cast<std::size_t>(col - t->def().columns.data());
    std::size_t above = 0;
    Table::Cursor c(*t);
    bool has;
    while (c.next(&has).isOk() && has)
        if (const auto* s = std::get_if<std::u16string>(&c.row()[at]))
            above += std::count_if(s->begin(), s->end(), [](char16_t ch) { return ch > 0xFF; });
    EXPECT_GT(above, 10u) << "the names exercise letters above U+00FF";
}

TEST(Check, UnreadableFilesAreErrors) {
    CheckReport r;
    EXPECT_EQ(checkFile("/nonexistent/x.mdb", &r).code(), Status::Code::NotFound);
    EXPECT_EQ(checkFile(fs::path(VELMORANT_TEST_DATA) / "schema.txt", &r).code(), Status::Code::NotJet);
}

// Damaged copies of sample.mdb.
class DamagedCheck : public ::testing::Test {
protected:
    void SetUp() override {
        copy_ = dir_.copy(test_files::testData("sample.mdb"), "copy.mdb");
        ASSERT_TRUE(Database::open(copy_, Pager::Mode::ReadOnly, &db_).isOk());
    }
    void TearDown() override { db_.reset(); }

    TableDef def(const std::string& table) {
        std::unique_ptr<Table> t;
        EXPECT_TRUE(db_->openTable(table, &t).isOk());
        return t->def();
    }
    Page page(std::uint32_t pgno) {
        PageRef ref;
        EXPECT_TRUE(db_->pager().read(pgno, &ref).isOk());
        return *ref;
    }
    void write(std::uint32_t pgno, std::size_t offset, std::initializer_list<std::uint8_t> bytes) {
        std::fstream f(copy_, std::ios::binary | std::ios::in | std::ios::out);
        f.seekp(static_cast<std::streamoff>(pgno) * kPageSize + static_cast<std::streamoff>(offset));
        for (auto b : bytes) f.put(static_cast<char>(b));
    }

    // Empties a usage map: the bitmap of an inline map (after its start
    // page), the bitmap pages of a reference map.
    void clearMap(RowPointer map) {
        const Page p = page(map.page);
        DataPage dp;
        ASSERT_TRUE(DataPage::open(std::make_shared<Page>(p), map.page, &dp).isOk());
        RowSlot slot;
        ASSERT_TRUE(dp.liveSlot(map.row, "mapa", &slot).isOk());
        const std::size_t from = slot.start + (p.bytes[slot.start] == 0x00 ? 5 : 1);
        for (std::size_t o = from; o < slot.end; ++o) write(map.page, o, {0x00});
    }

    // Runs the check on the damaged copy: it must finish and name the table.
    CheckReport expectProblem(const std::string& table) {
        db_.reset();
        CheckReport r = checked(copy_);
        EXPECT_FALSE(r.ok());
        bool named = false;
        for (const std::string& p : r.problems) named = named || p.find("tabuľka " + table) == 0;
        EXPECT_TRUE(named) << (r.problems.empty() ? "" : r.problems.front());
        return r;
    }
    std::vector<std::uint32_t> dataPages(const std::string& table) {
        std::unique_ptr<Table> t;
        std::vector<std::uint32_t> pages;
        EXPECT_TRUE(db_->openTable(table, &t).isOk());
        EXPECT_TRUE(t->dataPages(&pages).isOk());
        EXPECT_FALSE(pages.empty());
        return pages;
    }

    test_files::ScratchDir dir_;
    fs::path copy_;
    std::unique_ptr<Database> db_;
};

TEST_F(DamagedCheck, IndexPageEntry) {
    const TableDef d = def("identifikatory");
    ASSERT_FALSE(d.realIndexes.empty());
    const std::uint32_t root = d.realIndexes.back().firstPage;
    const Page p = page(root);
    write(root, 482, {static_cast<std::uint8_t>(p.bytes[482] ^ 0x5A)});
    expectProblem("identifikatory");
}

TEST_F(DamagedCheck, IndexRootWithSibling) {
    const TableDef d = def("identifikatory");
    write(d.realIndexes.front().firstPage, 16, {0xFF, 0xFF, 0xFF, 0x00}); // next sibling past the file
    expectProblem("identifikatory");
}

TEST_F(DamagedCheck, RowOffset) {
    write(dataPages("zariadenia").front(), DataPage::kSlotTable, {0x05, 0x00}); // row 0 starts inside the header
    expectProblem("zariadenia");
}

TEST_F(DamagedCheck, LongValuePointer) {
    // A memo reference: 3-byte length, flag 0x40 or 0x00, then a pointer to an LVAL row.
    for (std::uint32_t pgno : dataPages("zariadenia")) {
        const Page p = page(pgno);
        for (std::size_t o = 14; o + 12 <= kPageSize; ++o) {
            const std::uint8_t* b = p.bytes.data() + o;
            const std::uint32_t length = b[0] | b[1] << 8 | b[2] << 16;
            const std::uint32_t target = (b[5] | b[6] << 8 | b[7] << 16);
            if ((b[3] != 0x40 && b[3] != 0x00) || length <= 64 || length > 100000 || target == 0 ||
                target >= db_->pager().pageCount())
                continue;
            if (le32(page(target).bytes.data() + 4) != kLvalOwner) continue;
            write(pgno, o + 5, {0xFE, 0xFF, 0xFF});
            expectProblem("zariadenia");
            return;
        }
    }
    FAIL() << "no long value stored outside its row";
}

TEST_F(DamagedCheck, TableUsageMap) {
    const TableDef d = def("identifikatory");
    clearMap(d.ownedPages);
    const CheckReport r = expectProblem("identifikatory");
    EXPECT_GT(r.problems.size(), 1u); // row count and index entries without rows
}

TEST_F(DamagedCheck, IndexUsageMap) {
    const TableDef d = def("identifikatory");
    clearMap(d.realIndexes.front().usageMap);
    const CheckReport r = expectProblem("identifikatory");
    EXPECT_NE(r.problems.front().find("mape"), std::string::npos) << r.problems.front();
}

TEST_F(DamagedCheck, PageInUseMarkedFree) {
    const std::uint32_t root = def("identifikatory").realIndexes.front().firstPage;
    const Page p = page(1);
    DataPage dp;
    ASSERT_TRUE(DataPage::open(std::make_shared<Page>(p), 1, &dp).isOk());
    RowSlot slot;
    ASSERT_TRUE(dp.liveSlot(0, "globálna mapa", &slot).isOk());
    ASSERT_EQ(p.bytes[slot.start], 0x00);
    ASSERT_EQ(le32(&p.bytes[slot.start + 1]), 0u);
    const std::size_t at = slot.start + 5 + root / 8;
    write(1, at, {static_cast<std::uint8_t>(p.bytes[at] | 1u << (root % 8))});
    const CheckReport r = expectProblem("identifikatory");
    ASSERT_EQ(r.problems.size(), 1u);
    EXPECT_NE(r.problems.front().find(std::to_string(root)), std::string::npos) << r.problems.front();
}

TEST_F(DamagedCheck, AutonumberCounterBehindTheRows) {
    const TableDef d = def("hlasove_vyzvy");
    ASSERT_GT(d.autonumber, 1u);
    write(d.firstPage, TableDef::kAutonumberOffset, {0x01, 0x00, 0x00, 0x00});
    const CheckReport r = expectProblem("hlasove_vyzvy");
    EXPECT_NE(r.problems.front().find("automatického"), std::string::npos) << r.problems.front();
}

TEST_F(DamagedCheck, DataPageFreeSpace) {
    const std::uint32_t first = dataPages("zariadenia").front();
    const Page p = page(first);
    write(first, 2, {static_cast<std::uint8_t>(p.bytes[2] + 8), p.bytes[3]});
    const CheckReport r = expectProblem("zariadenia");
    EXPECT_NE(r.problems.front().find("voľné miesto"), std::string::npos) << r.problems.front();
}
