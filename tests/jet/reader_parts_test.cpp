// Usage maps and row frames built by hand: the forms the fixtures do not
// show (reference maps, rows older than their table's last column) and the
// damaged forms they must refuse.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "jet/pager.h"
#include "jet/row.h"
#include "jet/usage_map.h"
#include "test_files.h"

namespace fs = std::filesystem;
using namespace jet;

namespace {

constexpr std::size_t kPages = 64;

// A data page (or a map page) assembled slot by slot, bodies from the end.
struct PageBuilder {
    std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(kPageSize, 0);
    std::uint16_t low = kPageSize;
    explicit PageBuilder(std::uint8_t type = 0x01) { bytes[0] = type; bytes[1] = 0x01; }
    void put16(std::size_t at, std::uint16_t v) { bytes[at] = v & 0xFF; bytes[at + 1] = v >> 8; }
    void put32(std::size_t at, std::uint32_t v) { put16(at, v & 0xFFFF); put16(at + 2, v >> 16); }
    void addRow(const std::vector<std::uint8_t>& body) {
        std::uint16_t n = bytes[12] | bytes[13] << 8;
        low = static_cast<std::uint16_t>(low - body.size());
        std::copy(body.begin(), body.end(), bytes.begin() + low);
        put16(14 + 2 * n, low);
        put16(12, n + 1);
    }
};

std::vector<std::uint8_t> inlineMap(std::uint32_t start, std::initializer_list<int> bits, std::size_t bitmap = 64) {
    std::vector<std::uint8_t> row(5 + bitmap, 0);
    for (int i = 0; i < 4; ++i) row[1 + i] = static_cast<std::uint8_t>(start >> (8 * i));
    for (int b : bits) row[5 + b / 8] |= static_cast<std::uint8_t>(1 << (b % 8));
    return row;
}

std::vector<std::uint8_t> referenceMap(std::initializer_list<std::uint32_t> bitmapPages) {
    std::vector<std::uint8_t> row(1 + 4 * 17, 0);
    row[0] = 0x01;
    std::size_t i = 0;
    for (std::uint32_t p : bitmapPages) {
        for (int k = 0; k < 4; ++k) row[1 + 4 * i + k] = static_cast<std::uint8_t>(p >> (8 * k));
        ++i;
    }
    return row;
}

class UsageMaps : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<std::uint8_t> file(kPages * kPageSize, 0);
        PageBuilder maps;
        maps.addRow(inlineMap(8, {0, 3, 9}));       // 0: pages 8, 11, 17
        maps.addRow(referenceMap({4}));             // 1: bitmap page 4
        maps.addRow(inlineMap(0, {100}));           // 2: past the end of the file
        maps.addRow({0x07, 0, 0, 0, 0});            // 3: unknown kind
        maps.addRow(referenceMap({0, 5}));          // 4: slot 1 is not a bitmap page
        maps.addRow(referenceMap({0, 4}));          // 5: slot 1 covers pages past the end
        maps.addRow({0x00, 1});                     // 6: too short
        std::copy(maps.bytes.begin(), maps.bytes.end(), file.begin() + 3 * kPageSize);
        PageBuilder bitmap(0x05);
        bitmap.bytes[4 + 0] = 0x20; // page 5
        bitmap.bytes[4 + 7] = 0x10; // page 60
        std::copy(bitmap.bytes.begin(), bitmap.bytes.end(), file.begin() + 4 * kPageSize);
        test_files::writeAll(path_, file);
        ASSERT_TRUE(Pager::open(path_, Pager::Mode::ReadOnly, &pager_));
    }
    Status read(std::uint8_t row, std::vector<std::uint32_t>* pages, std::uint32_t page = 3) {
        return readUsageMap(*pager_, RowPointer{page, row}, pages);
    }

    test_files::ScratchDir dir_{"velmorant-maps"};
    std::string path_ = dir_.file("maps.mdb");
    std::unique_ptr<Pager> pager_;
};

} // namespace

TEST_F(UsageMaps, InlineAndReferenceMaps) {
    std::vector<std::uint32_t> pages;
    ASSERT_TRUE(read(0, &pages));
    EXPECT_EQ(pages, (std::vector<std::uint32_t>{8, 11, 17}));
    ASSERT_TRUE(read(1, &pages));
    EXPECT_EQ(pages, (std::vector<std::uint32_t>{5, 60}));
}

TEST_F(UsageMaps, DamagedMapsAreCorrupt) {
    std::vector<std::uint32_t> pages;
    for (std::uint8_t row : {2, 3, 4, 5, 6, 7, 200}) {
        Status s = read(row, &pages);
        EXPECT_EQ(s.code(), Status::Code::Corrupt) << int(row);
        EXPECT_NE(s.message().find("strana"), std::string::npos) << s.message();
    }
    EXPECT_EQ(read(0, &pages, 1000).code(), Status::Code::Corrupt);
    EXPECT_EQ(read(0, &pages, 4).code(), Status::Code::Corrupt); // a bitmap page is no map page
}

namespace {

// The table of the row below: TEXT A (slot 0), TEXT B (slot 1), BYTE C @0,
// INT D @1, LONG E @3, DOUBLE F @7, DATETIME G @15, MONEY H @23, BOOLEAN I,
// and a LONG J (number 9, slot-less, fixed @31) and a TEXT K (slot 2) added
// after the row was written.
TableDef exampleTable() {
    TableDef t;
    t.maxColumns = 11;
    t.varColumns = 3;
    auto fixed = [&](const char* name, ColumnType type, std::uint16_t number, std::uint16_t offset) {
        ColumnDef c;
        c.name = name;
        c.type = type;
        c.number = number;
        c.fixedOffset = offset;
        c.flags = ColumnDef::kFixed | ColumnDef::kUpdatable;
        t.columns.push_back(c);
    };
    auto variable = [&](const char* name, std::uint16_t number, std::uint16_t slot) {
        ColumnDef c;
        c.name = name;
        c.type = ColumnType::Text;
        c.number = number;
        c.varSlot = slot;
        c.flags = ColumnDef::kUpdatable;
        c.length = 100;
        t.columns.push_back(c);
    };
    variable("A", 0, 0);
    variable("B", 1, 1);
    fixed("C", ColumnType::Byte, 2, 0);
    fixed("D", ColumnType::Int, 3, 1);
    fixed("E", ColumnType::Long, 4, 3);
    fixed("F", ColumnType::Double, 5, 7);
    fixed("G", ColumnType::DateTime, 6, 15);
    fixed("H", ColumnType::Currency, 7, 23);
    fixed("I", ColumnType::Bool, 8, 0);
    fixed("J", ColumnType::Long, 9, 31);
    variable("K", 10, 2);
    return t;
}

std::vector<std::uint8_t> exampleRow() {
    return {0x09, 0x00, 0x02, 0xDE, 0x00, 0x55, 0x43, 0xDE, 0x13, 0x7B, 0x14, 0xAE, 0x47, 0xE1, 0xC8, 0x7B,
            0x40, 0x00, 0x00, 0x00, 0x00, 0x40, 0xA7, 0xDA, 0x40, 0xB8, 0x88, 0x00, 0x00, 0x00, 0x00, 0x00,
            0x00, 0xFF, 0xFE, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x00, 0x69, 0x00, 0x6A, 0x00,
            0x6B, 0x00, 0x6C, 0x00, 0x6D, 0x00, 0x6E, 0x00, 0x6F, 0x00, 0x70, 0x00, 0x3C, 0x00, 0x2A, 0x00,
            0x21, 0x00, 0x02, 0x00, 0xFF, 0x01};
}

class Rows : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Pager::open(std::string(VELMORANT_TEST_DATA) + "/blank.mdb", Pager::Mode::ReadOnly, &pager_));
    }
    std::vector<Value> decode(const TableDef& t, const std::vector<std::uint8_t>& row, Status* s) {
        RowView view;
        std::vector<Value> out(t.columns.size());
        *s = view.parse(t, row, RowId{7, 3});
        for (std::size_t i = 0; *s && i < t.columns.size(); ++i) *s = view.read(t.columns[i], *pager_, &out[i]);
        return out;
    }
    std::unique_ptr<Pager> pager_;
};

} // namespace

TEST_F(Rows, EveryFixedAndVariableKind) {
    TableDef t = exampleTable();
    Status s;
    std::vector<Value> v = decode(t, exampleRow(), &s);
    ASSERT_TRUE(s) << s.message();
    EXPECT_EQ(v[0], Value(std::u16string(u"abcdefg")));
    EXPECT_EQ(v[1], Value(std::u16string(u"hijklmnop")));
    EXPECT_EQ(v[2], Value(std::int64_t{2}));
    EXPECT_EQ(v[3], Value(std::int64_t{222}));
    EXPECT_EQ(v[4], Value(std::int64_t{333333333}));
    EXPECT_EQ(v[5], Value(444.555));
    EXPECT_EQ(v[6], Value(DateTime{27293.0}));
    EXPECT_EQ(v[7], Value(Currency{35000}));
    EXPECT_EQ(v[8], Value(true));
    // Columns added after the row was written read as Null.
    EXPECT_TRUE(isNull(v[9]));
    EXPECT_TRUE(isNull(v[10]));
}

TEST_F(Rows, NullsAndEmptyValues) {
    TableDef t = exampleTable();
    std::vector<std::uint8_t> row = exampleRow();
    row.back() = 0x00;        // bit 8 (I) clear: false, never Null
    row[row.size() - 2] = 0xFD; // bit 1 (B) clear: Null
    Status s;
    std::vector<Value> v = decode(t, row, &s);
    ASSERT_TRUE(s) << s.message();
    EXPECT_TRUE(isNull(v[1]));
    EXPECT_EQ(v[8], Value(false));
    row = exampleRow();
    row[row.size() - 8] = 0x3C; // slot 1 starts at the end of the data: empty, not Null
    v = decode(t, row, &s);
    ASSERT_TRUE(s) << s.message();
    EXPECT_EQ(v[1], Value(std::u16string()));
}

TEST_F(Rows, RowOlderThanEveryVariableColumn) {
    TableDef t;
    t.maxColumns = 2;
    t.varColumns = 1;
    ColumnDef id;
    id.name = "id";
    id.type = ColumnType::Long;
    id.flags = ColumnDef::kFixed;
    ColumnDef text;
    text.name = "text";
    text.type = ColumnType::Text;
    text.number = 1;
    t.columns = {id, text};
    Status s;
    std::vector<Value> v = decode(t, {0x01, 0x00, 0x07, 0x00, 0x00, 0x00, 0x01}, &s);
    ASSERT_TRUE(s) << s.message();
    EXPECT_EQ(v[0], Value(std::int64_t{7}));
    EXPECT_TRUE(isNull(v[1]));
}

TEST_F(Rows, DamagedFramesAreCorrupt) {
    TableDef t = exampleTable();
    Status s;
    auto expectCorrupt = [&](std::vector<std::uint8_t> row, const char* why) {
        decode(t, row, &s);
        EXPECT_EQ(s.code(), Status::Code::Corrupt) << why;
        EXPECT_NE(s.message().find("strana 7"), std::string::npos) << s.message();
    };
    expectCorrupt({0x09}, "shorter than the column count");
    expectCorrupt({0xFF, 0xFF, 0x00}, "null mask longer than the row");
    std::vector<std::uint8_t> row = exampleRow();
    row[row.size() - 4] = 0x40; // 64 variable slots
    expectCorrupt(row, "offset table longer than the row");
    row = exampleRow();
    row[row.size() - 10] = 0x50; // end of data past the offset table
    expectCorrupt(row, "end of data outside the row");
    row = exampleRow();
    row[row.size() - 6] = 0x01; // slot 0 starts inside the column count
    expectCorrupt(row, "variable value before the fixed area");
    row = exampleRow();
    row[row.size() - 8] = 0x20; // slot 1 starts before slot 0
    expectCorrupt(row, "decreasing offsets");
    t.columns[5].fixedOffset = 60; // F would run into the variable data's offsets
    expectCorrupt(exampleRow(), "fixed value past the fixed area");
}
