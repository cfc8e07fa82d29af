// Text keys in the General sort order: worked examples, case and accent
// behaviour, punctuation positions, descending form and refusals.
#include <gtest/gtest.h>

#include "jet/keys.h"
#include "jet/textkey.h"

using namespace jet;

namespace {

Bytes field(std::u16string_view text, bool ascending = true) {
    KeyColumn c{ColumnType::Text, ascending, kGeneralSortOrder, 0};
    Bytes out;
    Status s = appendKeyField(c, Value(std::u16string(text)), &out);
    EXPECT_TRUE(s.isOk()) << s.message();
    return out;
}

Bytes hex(std::initializer_list<int> bytes) { return Bytes(bytes.begin(), bytes.end()); }

} // namespace

TEST(TextKey, WorkedExamples) {
    EXPECT_EQ(field(u"a"), hex({0x7F, 0x4A, 0x01, 0x00}));
    EXPECT_EQ(field(u"abcdefg"), hex({0x7F, 0x4A, 0x4C, 0x4D, 0x4F, 0x51, 0x53, 0x55, 0x01, 0x00}));
    EXPECT_EQ(field(u"DataAccessPages"), hex({0x7F, 0x4F, 0x4A, 0x6D, 0x4A, 0x4A, 0x4D, 0x4D, 0x51, 0x6B, 0x6B,
                                              0x66, 0x4A, 0x55, 0x51, 0x6B, 0x01, 0x00}));
    EXPECT_EQ(field(u"ääkkösiä"), hex({0x7F, 0x4A, 0x4A, 0x5C, 0x5C, 0x64, 0x6B, 0x59, 0x4A, 0x01, 0x13, 0x13,
                                        0x02, 0x02, 0x13, 0x02, 0x02, 0x13, 0x00}));
    EXPECT_EQ(field(u"1234"), hex({0x7F, 0x38, 0x3A, 0x3C, 0x3E, 0x01, 0x00}));
    EXPECT_EQ(field(u"a b"), hex({0x7F, 0x4A, 0x07, 0x4C, 0x01, 0x00}));
    // Tab and line breaks weigh 08 03 .. 08 07, as in keys Access wrote.
    EXPECT_EQ(field(u"a\tb\r\n"), hex({0x7F, 0x4A, 0x08, 0x03, 0x4C, 0x08, 0x07, 0x08, 0x04, 0x01, 0x00}));
}

TEST(TextKey, SlovakAndCzechLetters) {
    EXPECT_EQ(field(u"Novák"), hex({0x7F, 0x62, 0x64, 0x71, 0x4A, 0x5C, 0x01, 0x02, 0x02, 0x02, 0x0E, 0x00}));
    EXPECT_EQ(field(u"Kováč"), hex({0x7F, 0x5C, 0x64, 0x71, 0x4A, 0x4D, 0x01, 0x02, 0x02, 0x02, 0x0E, 0x14, 0x00}));
    EXPECT_EQ(field(u"Ján Kováč"), hex({0x7F, 0x5B, 0x4A, 0x62, 0x07, 0x5C, 0x64, 0x71, 0x4A, 0x4D, 0x01, 0x02,
                                        0x0E, 0x02, 0x02, 0x02, 0x02, 0x02, 0x0E, 0x14, 0x00}));
    EXPECT_EQ(field(u"Žilina"), hex({0x7F, 0x78, 0x59, 0x5E, 0x59, 0x62, 0x4A, 0x01, 0x14, 0x00}));
    // Capitals weigh exactly as small letters, accents included.
    const std::u16string small = u"áäčďéěíĺľňóôŕřšťúůýž";
    const std::u16string capital = u"ÁÄČĎÉĚÍĹĽŇÓÔŔŘŠŤÚŮÝŽ";
    EXPECT_EQ(field(small), field(capital));
    // A combining caron after a plain letter gives the precomposed letter's key.
    EXPECT_EQ(field(u"c\u030Caj"), field(u"čaj"));
    // General order: an accented letter is a variant of its base letter.
    EXPECT_LT(field(u"čaj"), field(u"cesta"));
    EXPECT_LT(field(u"cesta"), field(u"čo"));
}

TEST(TextKey, PunctuationIsWeighedByPosition) {
    EXPECT_EQ(field(u"AB-12"), hex({0x7F, 0x4A, 0x4C, 0x38, 0x3A, 0x01, 0x01, 0x01, 0x01, 0x80, 0x0F, 0x06, 0x82, 0x00}));
    EXPECT_EQ(field(u"x-y-z"), hex({0x7F, 0x75, 0x76, 0x78, 0x01, 0x01, 0x01, 0x01, 0x80, 0x0B, 0x06, 0x82, 0x80,
                                    0x0F, 0x06, 0x82, 0x00}));
    EXPECT_EQ(field(u"á-b"), hex({0x7F, 0x4A, 0x4C, 0x01, 0x0E, 0x01, 0x01, 0x01, 0x80, 0x0B, 0x06, 0x82, 0x00}));
    EXPECT_NE(field(u"AB-12"), field(u"AB12"));
    EXPECT_NE(field(u"O'Neil"), field(u"ONeil"));
}

TEST(TextKey, CaseTrailingBlanksAndIgnoredCharacters) {
    EXPECT_EQ(field(u"ABC"), field(u"abc"));
    EXPECT_EQ(field(u"abc  "), field(u"abc"));
    EXPECT_EQ(field(std::u16string(u"a\0b", 3)), field(u"ab"));
    EXPECT_NE(field(u"abc"), field(u"ábc"));
    EXPECT_EQ(field(u""), hex({0x7F, 0x01, 0x00}));
    // Only the first 255 characters count.
    EXPECT_EQ(field(std::u16string(255, u'x') + u"abc"), field(std::u16string(255, u'x')));
}

TEST(TextKey, DescendingInvertsAndAppendsTerminator) {
    EXPECT_EQ(field(u"abc", false), hex({0x80, 0xB5, 0xB3, 0xB2, 0xFE, 0xFF, 0x00}));
    EXPECT_GT(field(u"abc", false), field(u"abd", false));
}

TEST(TextKey, EveryPrintableAsciiAndLatinLetterIsKnown) {
    for (char16_t c = 0x20; c < 0x7F; ++c) EXPECT_TRUE(generalSortKnows(c)) << int(c);
    for (char16_t c = 0xA0; c <= 0x17F; ++c) EXPECT_TRUE(generalSortKnows(c)) << int(c);
}

TEST(TextKey, RefusesUnknownCharactersAndOtherSortOrders) {
    Bytes out{0x55};
    Status s = appendGeneralTextKey(u"a\u0416b", true, &out); // Cyrillic
    EXPECT_EQ(s.code(), Status::Code::Unsupported);
    EXPECT_NE(s.message().find("0416"), std::string::npos);
    EXPECT_EQ(out, hex({0x55}));
    EXPECT_EQ(appendGeneralTextKey(u"\u2212", true, &out).code(), Status::Code::Unsupported); // minus sign

    KeyColumn slovak{ColumnType::Text, true, 0x041B, 0};
    EXPECT_EQ(appendKeyField(slovak, Value(std::u16string(u"a")), &out).code(), Status::Code::Unsupported);
    KeyColumn newer{ColumnType::Text, true, kGeneralSortOrder, 1};
    EXPECT_EQ(appendKeyField(newer, Value(std::u16string(u"a")), &out).code(), Status::Code::Unsupported);
    // A Null needs no collation.
    EXPECT_TRUE(appendKeyField(slovak, Value(), &out).isOk());
}
