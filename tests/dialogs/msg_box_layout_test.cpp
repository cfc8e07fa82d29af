#include "dialogs/msg_box_layout.h"

#include <gtest/gtest.h>

using dialogs::layOutMsgBox;

TEST(MsgBoxLayout, ShortPromptOneButtonTakesTheRowWidthAndTheIconHeight) {
    const auto l = layOutMsgBox(300, 240, false, 1);
    EXPECT_EQ(l.clientWidth, 1455); // 1215 + two margins
    EXPECT_EQ(l.clientHeight, 120 + 480 + 120 + 495 + 120);
    EXPECT_EQ(l.promptLeft, 120);
    EXPECT_EQ(l.rowLeft, 120);
    EXPECT_EQ(l.rowTop, l.clientHeight - 495 - 120);
    EXPECT_EQ(l.iconTop, 120 + (l.rowTop - 120 - 480) / 2);
}

TEST(MsgBoxLayout, IconMovesThePromptAndWidensTheBox) {
    const auto l = layOutMsgBox(2000, 240, true, 1);
    EXPECT_EQ(l.promptLeft, 720);
    EXPECT_EQ(l.clientWidth, 480 + 2000 + 240 + 120);
    EXPECT_EQ(l.rowLeft, (l.clientWidth - 1215) / 2);
}

TEST(MsgBoxLayout, LongAndTallPromptsGrowTheBox) {
    const auto wide = layOutMsgBox(6000, 240, false, 3);
    EXPECT_EQ(wide.clientWidth, 6240);
    EXPECT_EQ(wide.rowLeft, (6240 - (3 * 1215 + 2 * 120)) / 2);

    const auto tall = layOutMsgBox(500, 1500, false, 1);
    EXPECT_EQ(tall.clientHeight, 120 + 1500 + 120 + 495 + 120);
    EXPECT_EQ(tall.rowTop, 120 + 1500 + 120);
    EXPECT_EQ(tall.iconTop, 120 + (1500 + 120 - 480) / 2);
}

TEST(MsgBoxLayout, RowOfThreeSetsTheMinimumWidthAndHalvesDropTheFraction) {
    const auto l = layOutMsgBox(100, 200, false, 3);
    EXPECT_EQ(l.clientWidth, 3 * 1215 + 2 * 120 + 240);
    EXPECT_EQ(l.rowLeft, 120);
    // An odd free width (243 twips): the row starts half of it, rounded down.
    const auto odd = layOutMsgBox(1218, 200, false, 1);
    EXPECT_EQ(odd.clientWidth, 1458);
    EXPECT_EQ(odd.rowLeft, 121);
}
