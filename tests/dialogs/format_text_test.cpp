#include "dialogs/format_text.h"

#include <gtest/gtest.h>

using dialogs::FormatText;

TEST(FormatText, TrimsOuterSpacesKeepsApostrophesAndBreaksLines) {
    EXPECT_EQ(FormatText("  Can't~@go  "), QStringLiteral("Can't\r\ngo"));
    EXPECT_EQ(FormatText(" a`b "), QStringLiteral("a'b"));
    // Only spaces are trimmed; other blanks stay.
    EXPECT_EQ(FormatText("\tx "), QStringLiteral("\tx"));
}

TEST(FormatText, BlankTemplatesGiveEmptyText) {
    EXPECT_EQ(FormatText(""), QString());
    EXPECT_EQ(FormatText("    "), QString());
    EXPECT_EQ(FormatText("   ", {5}), QString());
}

TEST(FormatText, FillsNumberedPlaceholdersInOrder) {
    EXPECT_EQ(FormatText("Zostáva 1~! s", {5}), QStringLiteral("Zostáva 5 s"));
    EXPECT_EQ(FormatText("1~!+1~!=2~!", {2, 4}), QStringLiteral("2+2=4"));
    // A value inserted for 1 that holds the next placeholder is filled in turn.
    EXPECT_EQ(FormatText("[1~!]", {"2~!", "x"}), QStringLiteral("[x]"));
    // Placeholders without a value stay as they are.
    EXPECT_EQ(FormatText("1~! 2~!", {"a"}), QStringLiteral("a 2~!"));
}

TEST(FormatText, ValueWithoutTextFormLeavesPlaceholder) {
    EXPECT_EQ(FormatText("a1~!b2~!", {QVariant(QVariantList{1, 2}), 7}), QStringLiteral("a1~!b7"));
    EXPECT_EQ(FormatText("1~!", {QVariant()}), QStringLiteral("1~!"));
}
