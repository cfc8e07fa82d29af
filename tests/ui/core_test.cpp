// The shared core of the front-ends: the timed box's buttons, layout and
// countdown, the caption formatter, twips and centring.
#include <gtest/gtest.h>

#include "ui/countdown.h"
#include "ui/forms.h"
#include "ui/geometry.h"
#include "ui/msg_box_flags.h"
#include "ui/msg_box_layout.h"
#include "ui/texts.h"

namespace {

std::vector<std::string> captions(const ui::ButtonRow& row) {
    std::vector<std::string> out;
    for (int result : row.results) out.push_back(ui::FormatText(ui::buttonCaption(result)));
    return out;
}

} // namespace

TEST(ButtonRow, SetsCaptionsResultsEscAndFocus) {
    struct Case {
        int flags;
        std::vector<std::string> captions;
        std::vector<int> results;
        int escape, focus;
    };
    const Case cases[] = {
        {0, {"OK"}, {1}, 0, 0},
        {1 + 256, {"OK", "Zrušiť"}, {1, 2}, 1, 1},
        {2 + 512, {"&Prerušiť", "&Znova", "&Ignorovať"}, {3, 4, 5}, -1, 2},
        {3 + 32, {"&Ano", "&Nie", "Zrušiť"}, {6, 7, 2}, 2, 0},
        {4 + 256, {"&Ano", "&Nie"}, {6, 7}, -1, 1},
        {4 + 768, {"&Ano", "&Nie"}, {6, 7}, -1, -1}, // a default beyond the row: none
        {5, {"OK"}, {1}, 0, 0},
        {15 + 48, {"OK"}, {1}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        const ui::ButtonRow row = ui::buttonRow(c.flags);
        EXPECT_EQ(captions(row), c.captions);
        EXPECT_EQ(row.results, c.results);
        EXPECT_EQ(row.escape, c.escape);
        EXPECT_EQ(row.focus, c.focus);
    }
    // The standard box spells Yes as a Slovak desktop does.
    EXPECT_EQ(ui::standardButtonCaption(ui::mb::ResultYes), "&Áno");
    EXPECT_EQ(ui::standardButtonCaption(ui::mb::ResultNo), "&Nie");
    EXPECT_EQ(ui::standardButtonCaption(ui::mb::ResultCancel), "Zrušiť");
}

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

TEST(Countdown, ShowsOneLessAtOnceAndClosesAtTheLastStep) {
    ui::Countdown c;
    c.reset(25);
    EXPECT_TRUE(c.counting());
    EXPECT_TRUE(c.step()); // the step before the box shows
    EXPECT_EQ(c.remaining(), 24);
    for (int tick = 1; tick < 24; ++tick) EXPECT_TRUE(c.step()) << tick;
    EXPECT_EQ(c.remaining(), 1);
    EXPECT_FALSE(c.step()); // the 24th tick

    c.reset(10); // a change of the input box's text starts it again
    for (int i = 0; i < 5; ++i) c.step();
    c.restart();
    EXPECT_TRUE(c.step());
    EXPECT_EQ(c.remaining(), 9);

    c.reset(1);
    EXPECT_FALSE(c.step());
    for (int seconds : {0, -3}) {
        c.reset(seconds);
        EXPECT_FALSE(c.counting());
        for (int i = 0; i < 3; ++i) EXPECT_TRUE(c.step());
    }
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

TEST(Geometry, CentresTheOuterFrameAndPlacesTheCountdownInTheCorner) {
    EXPECT_EQ(ui::centredOrigin({0, 0, 1024, 768}, 501, 300), (ui::Point{261, 234}));
    EXPECT_EQ(ui::centredOrigin({1920, 10, 800, 600}, 1001, 700), (ui::Point{1920 - 100, 10 - 50}));
    EXPECT_EQ(ui::bottomRightOrigin(400, 200, 13, 11), (ui::Point{387, 189}));
}
