// The checker on real files: every fixture and every Access-written Jet 4
// sample checks clean with every index walked and every key re-encoded, and
// damaged copies are reported instead of crashing the check.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <set>
#include <tuple>

#include "jet/check.h"
#include "jet/format/data_page.h"
#include "jet/db/database_impl.h"
#include "jet/index/index_walk.h"
#include "support/files.h"

using namespace jet;
namespace fs = std::filesystem;

namespace {

std::size_t realIndexCount(const fs::path& file) {
    std::unique_ptr<Database> db;
    EXPECT_TRUE(Database::open(file.string(), Pager::Mode::ReadOnly, &db).ok());
    std::size_t n = 0;
    for (const TableInfo& t : impl(*db).tables()) {
        std::unique_ptr<Table> table;
        if (t.kind != TableInfo::Kind::Linked && db->openTable(t.name, &table).ok())
            n += impl(*table).def().realIndexes.size();
    }
    return n;
}

CheckReport checked(const fs::path& file) {
    CheckReport r;
    Status s = checkFile(file.string(), &r);
    EXPECT_TRUE(s.ok()) << file << ": " << s.message();
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

// A key that differs from its row's values is a problem, so a clean check
// with no key left uncompared means the fixture's Slovak names encode as
// stored too, and our General-order encoder gives the text keys Access wrote.
TEST(Check, EveryFixtureAndAccessSampleIsClean) {
    for (const fs::path& f : test_files::mdbFilesIn(VELMORANT_TEST_DATA)) expectClean(f);
    const CheckReport r = checked(fs::path(VELMORANT_TEST_DATA) / "sample.mdb");
    EXPECT_GT(r.longValues, 100u);
    EXPECT_EQ(r.keysNotCompared, 0u);
    EXPECT_TRUE(r.notes.empty());

    const auto samples = test_files::jet4Samples();
    std::uint64_t compared = 0, notCompared = 0;
    for (const fs::path& f : samples) {
        for (const IndexSummary& s : expectClean(f).indexSummaries) {
            if (!s.text) continue;
            compared += s.keysCompared;
            notCompared += s.keysNotCompared;
            EXPECT_EQ(s.keysCompared + s.keysNotCompared, s.entries) << f << " " << s.table << "." << s.index;
        }
    }
    if (samples.empty()) return;
    EXPECT_GT(compared, 500u);
    EXPECT_LE(notCompared, 3u); // Cyrillic, Greek and Japanese names in one sample
}

namespace {

// A copy of sample.mdb to damage, with the pristine layout read from it.
class SampleCopy {
public:
    SampleCopy() : copy_(dir_.copy(test_files::testData("sample.mdb"), "copy.mdb")) { reopen(); }
    TableDef def(const std::string& table) {
        std::unique_ptr<Table> t;
        EXPECT_TRUE(db_->openTable(table, &t).ok());
        return impl(*t).def();
    }
    Page page(std::uint32_t pgno) {
        PageRef ref;
        EXPECT_TRUE(impl(*db_).pager().read(pgno, &ref).ok());
        return *ref;
    }
    std::vector<std::uint32_t> dataPages(const std::string& table) {
        std::unique_ptr<Table> t;
        std::vector<std::uint32_t> pages;
        EXPECT_TRUE(db_->openTable(table, &t).ok());
        EXPECT_TRUE(impl(*t).dataPages(&pages).ok());
        EXPECT_FALSE(pages.empty());
        return pages;
    }
    // Windows lets nobody write a file the engine reads: closed meanwhile.
    void write(std::uint32_t pgno, std::size_t offset, const std::vector<std::uint8_t>& bytes) {
        db_.reset();
        {
            std::fstream f(copy_, std::ios::binary | std::ios::in | std::ios::out);
            f.seekp(static_cast<std::streamoff>(pgno) * kPageSize + static_cast<std::streamoff>(offset));
            for (auto b : bytes) f.put(static_cast<char>(b));
        }
        reopen();
    }
    // The bounds of a stored row (a usage map).
    RowSlot slot(RowPointer row) {
        DataPage dp;
        RowSlot slot;
        EXPECT_TRUE(DataPage::open(std::make_shared<Page>(page(row.page)), row.page, &dp).ok());
        EXPECT_TRUE(dp.liveSlot(row.row, "mapa", &slot).ok());
        return slot;
    }
    // Empties a usage map: the bitmap of an inline map (after its start
    // page), the bitmap pages of a reference map.
    void clearMap(RowPointer map) {
        const RowSlot s = slot(map);
        const std::size_t from = s.start + (page(map.page).bytes[s.start] == 0x00 ? 5 : 1);
        write(map.page, from, std::vector<std::uint8_t>(s.end - from, 0x00));
    }
    CheckReport check() {
        db_.reset();
        return checked(copy_);
    }
    const fs::path& path() const { return copy_; }

private:
    test_files::ScratchDir dir_;
    fs::path copy_;
    void reopen() { EXPECT_TRUE(Database::open(copy_.string(), Pager::Mode::ReadOnly, &db_).ok()); }
    std::unique_ptr<Database> db_;
};

} // namespace

// Each damage makes the check finish with a problem naming the table, and
// where it matters what was found.
TEST(DamagedCheck, EveryDamageIsNamed) {
    struct Case {
        const char* what;
        const char* table;
        // Damages the copy; returns a part of the first problem.
        std::function<std::string(SampleCopy&)> damage;
    };
    const Case cases[] = {
        {"index page entry", "identifikatory",
         [](SampleCopy& f) {
             const std::uint32_t root = f.def("identifikatory").realIndexes.back().firstPage;
             f.write(root, 482, {static_cast<std::uint8_t>(f.page(root).bytes[482] ^ 0x5A)});
             return "";
         }},
        {"row starting inside the header", "zariadenia",
         [](SampleCopy& f) {
             return f.write(f.dataPages("zariadenia").at(0), data_page::kSlotTable, {5, 0}), "";
         }},
        {"long-value pages in no map", "zariadenia",
         [](SampleCopy& f) {
             for (const LongValueMaps& m : f.def("zariadenia").longValueMaps) f.clearMap(m.ownedPages);
             return "mape dlhých hodnôt";
         }},
        {"index usage map", "identifikatory",
         [](SampleCopy& f) { return f.clearMap(f.def("identifikatory").realIndexes[0].usageMap), "mape"; }},
        {"page in use marked free", "identifikatory",
         [](SampleCopy& f) {
             const std::uint32_t root = f.def("identifikatory").realIndexes.front().firstPage;
             const RowSlot s = f.slot({1, 0});
             const Page p = f.page(1);
             EXPECT_EQ(p.bytes[s.start], 0x00); // an inline map starting at page 0
             EXPECT_EQ(le32(&p.bytes[s.start + 1]), 0u);
             const std::size_t at = s.start + 5 + root / 8;
             f.write(1, at, {static_cast<std::uint8_t>(p.bytes[at] | 1u << (root % 8))});
             return std::to_string(root);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SampleCopy copy;
        const std::string mention = c.damage(copy);
        const CheckReport r = copy.check();
        ASSERT_FALSE(r.ok());
        bool named = false;
        for (const std::string& p : r.problems) named = named || p.find(std::string("tabuľka ") + c.table) == 0;
        EXPECT_TRUE(named) << r.problems.front();
        EXPECT_NE(r.problems.front().find(mention), std::string::npos) << r.problems.front();
    }
}

namespace {

// The reports of two checks of one file agree in every line and figure.
void expectSameReport(const CheckReport& a, const CheckReport& b) {
    EXPECT_EQ(a.problems, b.problems);
    EXPECT_EQ(a.notes, b.notes);
    EXPECT_EQ(std::tie(a.tables, a.rows, a.longValues, a.indexes, a.entries, a.keysCompared, a.keysNotCompared),
              std::tie(b.tables, b.rows, b.longValues, b.indexes, b.entries, b.keysCompared, b.keysNotCompared));
    ASSERT_EQ(a.indexSummaries.size(), b.indexSummaries.size());
    for (std::size_t i = 0; i < a.indexSummaries.size(); ++i) {
        const IndexSummary &x = a.indexSummaries[i], &y = b.indexSummaries[i];
        EXPECT_EQ(std::tie(x.table, x.index, x.entries, x.keysCompared, x.keysNotCompared),
                  std::tie(y.table, y.index, y.entries, y.keysCompared, y.keysNotCompared));
    }
}

// Row memory that splits the sample's larger tables into dozens of chunks.
constexpr std::size_t kSmallChunks = 1024;

} // namespace

// Rows are compared with their indexes a chunk at a time; however small the
// chunks, a damaged file gets the report of a check holding every row at
// once: no entry lost or counted twice at a chunk's edge, no row of a later
// chunk left uncompared.
TEST(DamagedCheck, ChunksReportWhatOneChunkDoes) {
    std::mt19937 random(25);
    const char* tables[] = {"downloadovane_identifikatory", "identifikatory", "zariadenia"};
    std::size_t indexProblems = 0;
    for (int n = 0; n < 20; ++n) {
        SCOPED_TRACE("copy " + std::to_string(n));
        SampleCopy copy;
        if (n > 0) { // the first copy stays whole; the others get bytes changed in rows and index pages
            const TableDef def = copy.def(tables[n % 3]);
            std::vector<std::uint32_t> pages = copy.dataPages(tables[n % 3]);
            for (const RealIndexDef& r : def.realIndexes) {
                IndexWalk walk;
                ASSERT_TRUE(walkIndex(
                                [&](std::uint32_t p, PageRef* out) {
                                    *out = std::make_shared<Page>(copy.page(p));
                                    return Status::OK();
                                },
                                r.firstPage, def.firstPage, &walk)
                                .ok());
                pages.insert(pages.end(), walk.pages.begin(), walk.pages.end());
            }
            for (int flips = 1 + n % 4; flips > 0; --flips) {
                const std::uint32_t pgno = pages[random() % pages.size()];
                const std::size_t at = 14 + random() % (kPageSize - 14);
                copy.write(pgno, at, {static_cast<std::uint8_t>(copy.page(pgno).bytes[at] ^ (1u + random() % 255))});
            }
        }
        const CheckReport whole = copy.check();
        CheckReport chunked;
        ASSERT_TRUE(checkFile(copy.path().string(), &chunked, kSmallChunks).ok());
        expectSameReport(whole, chunked);
        for (const std::string& p : whole.problems) indexProblems += p.find(": index ") != std::string::npos;
    }
    EXPECT_GT(indexProblems, 10u) << "the damage reaches rows and entries";
}

// Problems of an index come in the order of its entries, found in any
// chunk, and past the table's share only their number is told.
TEST(DamagedCheck, IndexProblemsInKeyOrderAndCounted) {
    const std::string table = "downloadovane_identifikatory";
    SampleCopy copy;
    const TableDef def = copy.def(table);
    ASSERT_EQ(def.realIndexes.size(), 1u);
    const std::vector<std::uint32_t> dataPages = copy.dataPages(table);
    ASSERT_GT(dataPages.size(), 4u);
    // Every row of two pages far apart (in different chunks) gone, their entries left.
    const std::set<std::uint32_t> emptied = {dataPages[1], dataPages[dataPages.size() - 2]};
    for (std::uint32_t pgno : emptied) {
        const Page page = copy.page(pgno);
        const std::uint16_t slots = le16(&page.bytes[data_page::kSlotCount]);
        std::vector<std::uint8_t> deleted;
        for (std::uint16_t i = 0; i < slots; ++i) {
            const std::uint16_t slot = le16(&page.bytes[data_page::slotAt(i)]) | data_page::kDeleted;
            deleted.push_back(static_cast<std::uint8_t>(slot));
            deleted.push_back(static_cast<std::uint8_t>(slot >> 8));
        }
        copy.write(pgno, data_page::kSlotTable, deleted);
    }

    std::vector<std::string> entryLines; // in key order
    {
        std::unique_ptr<Database> db;
        ASSERT_TRUE(Database::open(copy.path().string(), Pager::Mode::ReadOnly, &db).ok());
        IndexWalk walk;
        ASSERT_TRUE(walkIndex([&](std::uint32_t p, PageRef* out) { return impl(*db).pager().read(p, out); },
                              def.realIndexes[0].firstPage, def.firstPage, &walk)
                        .ok());
        for (const LeafEntry& e : walk.entries)
            if (emptied.count(e.row.page))
                entryLines.push_back("tabuľka " + table + ": index " + def.indexName(def.realIndexes[0]) +
                                     ": záznam ukazuje na riadok " + std::to_string(e.row.page) + ":" +
                                     std::to_string(e.row.row) + ", ktorý v tabuľke nie je (strana " +
                                     std::to_string(e.leafPage) + ")");
    }
    ASSERT_GT(entryLines.size(), 50u);
    for (std::size_t rowMemory : {kCheckRowMemory, kSmallChunks}) {
        SCOPED_TRACE(rowMemory);
        CheckReport r;
        ASSERT_TRUE(checkFile(copy.path().string(), &r, rowMemory).ok());
        std::vector<std::string> lines, expected;
        for (const std::string& p : r.problems)
            if (p.starts_with("tabuľka " + table + ": ")) lines.push_back(p);
        for (const std::string& p : lines)
            if (p.find(": index ") == std::string::npos) expected.push_back(p); // the pages' own problems first
        expected.pop_back();                                                    // the count of the rest, below
        const std::size_t others = expected.size();
        expected.insert(expected.end(), entryLines.begin(), entryLines.begin() + (50 - others));
        expected.push_back("tabuľka " + table + ": ďalšie chyby (" + std::to_string(others + entryLines.size() - 50) +
                           ") sa nevypisujú");
        EXPECT_EQ(lines, expected);
    }
}
