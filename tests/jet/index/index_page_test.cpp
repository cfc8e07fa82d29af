// Index pages: the layout, bitmap and free space Access writes, and damaged
// pages refused. Prefix compression is exercised by the index tree tests.
#include <gtest/gtest.h>

#include "jet/index/index_page.h"

using namespace jet;

namespace {

Bytes hex(std::initializer_list<int> bytes) { return Bytes(bytes.begin(), bytes.end()); }

Bytes longEntry(std::uint32_t value, RowPointer row) {
    const Bytes key = {0x7F, static_cast<std::uint8_t>(0x80 | value >> 24), static_cast<std::uint8_t>(value >> 16),
                       static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
    return makeLeafEntry(key, row);
}

IndexPage leafWith(std::vector<Bytes> entries, std::uint16_t prefix = 0) {
    IndexPage p;
    p.type = kIndexLeafPage;
    p.owner = 24;
    p.prev = 7;
    p.next = 9;
    p.prefixLength = prefix;
    p.entries = std::move(entries);
    return p;
}

} // namespace

TEST(IndexPage, LeafLaidOutAsAccessDoes) {
    std::vector<Bytes> entries;
    for (std::uint8_t i = 0; i < 4; ++i) entries.push_back(longEntry(i, {0x3E, i}));
    Page page;
    ASSERT_TRUE(buildIndexPage(leafWith(entries), &page).ok());
    const auto* b = page.bytes.data();
    EXPECT_EQ(b[0], 0x04);
    EXPECT_EQ(b[2] | b[3] << 8, 3580);
    EXPECT_EQ(b[4], 24);
    EXPECT_EQ(Bytes(b + 27, b + 33), hex({0x00, 0x02, 0x04, 0x08, 0x10, 0x00}));
    EXPECT_EQ(Bytes(b + 480, b + 489), hex({0x7F, 0x80, 0, 0, 0, 0, 0, 0x3E, 0}));

    IndexPage back;
    ASSERT_TRUE(parseIndexPage(page, 5, 24, &back).ok());
    EXPECT_EQ(back.entries, entries);
    EXPECT_EQ(back.freeSpace, back.computedFreeSpace());
    EXPECT_EQ(back.prev, 7u);
    EXPECT_EQ(back.next, 9u);
    EXPECT_EQ(leafRow(back.entries[3]), (RowPointer{0x3E, 3}));
    EXPECT_EQ(Bytes(leafKey(back.entries[2]).begin(), leafKey(back.entries[2]).end()),
              hex({0x7F, 0x80, 0, 0, 2}));
}

TEST(IndexPage, DamagedPagesAreRefused) {
    Page good;
    ASSERT_TRUE(buildIndexPage(leafWith({longEntry(1, {3, 0}), longEntry(2, {3, 1})}), &good).ok());
    IndexPage out;

    EXPECT_EQ(parseIndexPage(good, 5, 25, &out).code(), Status::Code::Corrupt); // another table's

    Page p = good;
    p.bytes[0] = 0x01; // a data page
    EXPECT_EQ(parseIndexPage(p, 5, 24, &out).code(), Status::Code::Corrupt);

    p = good;
    p.bytes[27 + 452] = 0x80; // an entry ending past the page
    EXPECT_EQ(parseIndexPage(p, 5, 24, &out).code(), Status::Code::Corrupt);

    p = good;
    p.bytes[27] |= 0x04; // a 2-byte entry
    EXPECT_EQ(parseIndexPage(p, 5, 24, &out).code(), Status::Code::Corrupt);

    p = good;
    p.bytes[24] = 20; // prefix longer than the first entry
    EXPECT_EQ(parseIndexPage(p, 5, 24, &out).code(), Status::Code::Corrupt);
    EXPECT_NE(parseIndexPage(p, 5, 24, &out).message().find("5"), std::string::npos);
}
