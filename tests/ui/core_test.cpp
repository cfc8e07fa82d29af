// The shared core of the front-ends: the timed box's layout, the caption
// formatter and twips. The button rows and the countdown are checked through
// the Qt boxes.
#include <gtest/gtest.h>

#include "ui/forms.h"
#include "ui/geometry.h"
#include "ui/msg_box_layout.h"
#include "ui/texts.h"

TEST(MsgBoxLayout, FollowsThePromptTheIconAndTheRow) {
    // A short prompt: the row of one button and its margins.
    ui::MsgBoxLayout l = ui::layOutMsgBox(300, 240, false, 1);
    EXPECT_EQ(l.clientWidth, 1455);
    EXPECT_EQ(l.promptLeft, 120);
    EXPECT_EQ(l.clientHeight, 120 + 480 + 120 + 495 + 120); // never lower than the icon box
    EXPECT_EQ(l.rowLeft, 120);
    EXPECT_EQ(l.rowTop, l.clientHeight - 495 - 120);

    // A long prompt with an icon: the icon, the prompt and three margins.
    l = ui::layOutMsgBox(5001, 1000, true, 3);
    EXPECT_EQ(l.clientWidth, 480 + 5001 + 240 + 120);
    EXPECT_EQ(l.promptLeft, 720);
    EXPECT_EQ(l.clientHeight, 120 + 1000 + 120 + 495 + 120);
    EXPECT_EQ(l.rowLeft, (l.clientWidth - (3 * 1215 + 2 * 120)) / 2);
    EXPECT_EQ(l.iconTop, 120 + (l.rowTop - 120 - 480) / 2);

    // Three buttons wider than the prompt: the row rules the width.
    l = ui::layOutMsgBox(100, 200, true, 3);
    EXPECT_EQ(l.clientWidth, 3 * 1215 + 2 * 120 + 240);
    EXPECT_EQ(l.rowLeft, 120);
}

TEST(FormatText, TrimsKeepsApostrophesBreaksLinesAndFillsPlaceholders) {
    EXPECT_EQ(ui::FormatText("  don't~@stop  "), "don't\r\nstop");
    EXPECT_EQ(ui::FormatText("   "), "");
    EXPECT_EQ(ui::FormatText("`a` 1~! 2~! 1~!", {"5", std::nullopt}), "'a' 5 2~! 5");
    EXPECT_EQ(ui::FormatText(" \tx\t "), "\tx\t");
    EXPECT_EQ(ui::input_box::caption("   "), "Velmorant");
    EXPECT_EQ(ui::input_box::caption("  Heslo "), "Heslo");
}

TEST(Twips, RoundHalvesToEvenAtEveryResolution) {
    const ui::Twips at96(96), at120(120), at144(144);
    EXPECT_EQ(at96.toPixels({240, 720, 4095, 315}), (ui::Rect{16, 48, 273, 21}));
    EXPECT_EQ(at120.toPixelsX(1050), 88); // 87.5
    EXPECT_EQ(at120.toPixelsX(1110), 92); // 92.5
    EXPECT_EQ(at144.toPixels({5520, 720, 1455, 495}), (ui::Rect{552, 72, 146, 50})); // 145.5, 49.5
    EXPECT_EQ(ui::Twips(96, 144).toPixelsY(1890), 189);
    EXPECT_EQ(at144.fromPixelsX(15), 150);
    EXPECT_EQ(at96.fromPixelsY(7), 105);
    EXPECT_EQ(at96.fontPixels(8.25), 11);
    EXPECT_EQ(at144.fontPixels(8.25), 16); // 16.5
    EXPECT_EQ(at144.fontPixels(9.75), 20); // 19.5
}
