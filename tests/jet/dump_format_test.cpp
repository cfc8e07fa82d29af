// Value formats of the JSON dump and the text rules under them.
#include <gtest/gtest.h>

#include "jet/dump_json.h"
#include "jet/text.h"

using namespace jet;

TEST(DumpFormat, DoublesUseTheShortestFormThatReadsBack) {
    EXPECT_EQ(formatDouble(0.0), "0.0");
    EXPECT_EQ(formatDouble(444.555), "444.555");
    EXPECT_EQ(formatDouble(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(formatDouble(1.0 / 3), "0.3333333333333333");
    EXPECT_EQ(formatDouble(2.5e-7), "2.5E-7");
    EXPECT_EQ(formatDouble(3.45134e-4), "3.45134E-4");
    EXPECT_EQ(formatDouble(0.001), "0.001");
    EXPECT_EQ(formatDouble(9999999.0), "9999999.0");
    EXPECT_EQ(formatDouble(1e7), "1.0E7");
    EXPECT_EQ(formatDouble(-8.54098242345e9), "-8.54098242345E9");
    EXPECT_EQ(formatDouble(1.4285714285714286e20), "1.4285714285714286E20");
    EXPECT_EQ(formatDouble(100.0), "100.0");
    EXPECT_EQ(formatSingle(0.1f), "0.1");
    EXPECT_EQ(formatSingle(1.1f), "1.1"); // not the double 1.100000023841858
    EXPECT_EQ(formatSingle(-3.5e8f), "-3.5E8");
    EXPECT_EQ(formatDouble(std::numeric_limits<double>::quiet_NaN()), "\"NaN\"");
}

TEST(DumpFormat, DatesFollowTheDayZeroRule) {
    EXPECT_EQ(formatDate(0.0), "1899-12-30T00:00:00");
    EXPECT_EQ(formatDate(-0.5), "1899-12-30T12:00:00");
    EXPECT_EQ(formatDate(-1.5), "1899-12-29T12:00:00");
    EXPECT_EQ(formatDate(-1.25), "1899-12-29T06:00:00");
    EXPECT_EQ(formatDate(27293.0), "1974-09-21T00:00:00");
    EXPECT_EQ(formatDate(36526.5 + 0.123 / 86400), "2000-01-01T12:00:00.123");
    EXPECT_EQ(formatDate(36526.0 + 0.9999999999), "2000-01-02T00:00:00"); // rounds into the next day
    EXPECT_EQ(formatDate(60.0), "1900-02-28T00:00:00");
    EXPECT_EQ(formatDate(61.0), "1900-03-01T00:00:00");
}

TEST(DumpFormat, CurrencyAndNumeric) {
    EXPECT_EQ(formatCurrency(35000), "3.5000");
    EXPECT_EQ(formatCurrency(-37500), "-3.7500");
    EXPECT_EQ(formatCurrency(-1), "-0.0001");
    EXPECT_EQ(formatCurrency(INT64_MIN), "-922337203685477.5808");
    Numeric n;
    n.magnitude[0] = 1;
    EXPECT_EQ(formatNumeric(n), "1");
    n.negative = true;
    EXPECT_EQ(formatNumeric(n), "-1");
    n.scale = 3;
    EXPECT_EQ(formatNumeric(n), "-0.001");
    Numeric big;
    big.magnitude.fill(0xFF);
    EXPECT_EQ(formatNumeric(big), "340282366920938463463374607431768211455");
    Numeric zero;
    zero.negative = true;
    EXPECT_EQ(formatNumeric(zero), "0");
}

TEST(DumpFormat, StringEscapes) {
    std::string s;
    appendJsonString(&s, u"a\"b\\c\n\r\t\b\f\x01\x1f\xD800\u010D\u201E");
    EXPECT_EQ(s, "\"a\\\"b\\\\c\\n\\r\\t\\b\\f\\u0001\\u001f\\ud800č„\"");
}

TEST(DumpFormat, ColumnTypeNames) {
    ColumnDef c;
    c.type = ColumnType::Long;
    EXPECT_EQ(dumpTypeName(c), "long");
    c.flags = ColumnDef::kAutonumber;
    EXPECT_EQ(dumpTypeName(c), "autonum");
    c.type = ColumnType::Text;
    c.length = 510;
    EXPECT_EQ(dumpTypeName(c), "text(255)");
    c.type = ColumnType::Numeric;
    c.precision = 18;
    c.scale = 2;
    EXPECT_EQ(dumpTypeName(c), "numeric(18,2)");
    c.type = ColumnType::Guid;
    c.flags = ColumnDef::kGuidAutonumber;
    EXPECT_EQ(dumpTypeName(c), "guid-autonum");
}

TEST(Text, CompressedAndPlainForms) {
    std::u16string out;
    const std::uint8_t compressed[] = {0xFF, 0xFE, 'a', 'b', 0x00, 0x0D, 0x01, 0x00, 'c'};
    decodeText(compressed, &out);
    EXPECT_EQ(out, u"ab\u010Dc");
    const std::uint8_t plain[] = {'h', 0, 'i', 0, 0x0D};
    decodeText(plain, &out);
    EXPECT_EQ(out, u"hi");
    const std::uint8_t oddTail[] = {0xFF, 0xFE, 0x00, 'x'};
    decodeText(oddTail, &out);
    EXPECT_EQ(out, u"");
}

TEST(Text, LetterCaseCoversSlovakLetters) {
    EXPECT_TRUE(equalsIgnoreCase(u"KŔDEĽ ŠŤASTNÝCH ĎATEĽOV ÔSMY ŇÄ", u"kŕdeľ šťastných ďateľov ôsmy ňä"));
    EXPECT_TRUE(equalsIgnoreCase(std::string_view("Čakáreň"), std::string_view("ČAKÁREŇ")));
    EXPECT_FALSE(equalsIgnoreCase(u"c", u"č"));
    EXPECT_LT(compareIgnoreCase(u"v_s", u"VO"), 0); // '_' sorts before letters
    EXPECT_EQ(fromUtf8(toUtf8(u"Ľuboš \U0001F600")), u"Ľuboš \U0001F600");
    EXPECT_EQ(fromUtf8("\xC3"), u"\uFFFD");
}
