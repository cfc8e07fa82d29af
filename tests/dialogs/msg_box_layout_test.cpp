#include "dialogs/msg_box_layout.h"

#include <gtest/gtest.h>

using dialogs::layOutMsgBox;

// Figures in twips; -1 where a case does not care.
TEST(MsgBoxLayout, BoxFollowsThePromptTheIconAndTheButtonRow) {
    struct Case {
        const char* what;
        int promptWidth, promptHeight;
        bool icon;
        int buttons;
        int clientWidth, clientHeight, promptLeft, rowLeft, rowTop, iconTop;
    };
    const Case cases[] = {
        {"short prompt: the row's width, the icon's height", 300, 240, false, 1, 1455, 1335, 120, 120, 720, 180},
        {"an icon moves the prompt and widens the box", 2000, 240, true, 1, 2840, -1, 720, 812, -1, -1},
        {"a long prompt centres the row", 6000, 240, false, 3, 6240, -1, -1, 1177, -1, -1},
        {"a tall prompt", 500, 1500, false, 1, -1, 2355, -1, -1, 1740, 690},
        {"a row of three sets the minimum width", 100, 200, false, 3, 4125, -1, -1, 120, -1, -1},
        {"half an odd free width is rounded down", 1218, 200, false, 1, 1458, -1, -1, 121, -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto l = layOutMsgBox(c.promptWidth, c.promptHeight, c.icon, c.buttons);
        const int got[] = {l.clientWidth, l.clientHeight, l.promptLeft, l.rowLeft, l.rowTop, l.iconTop};
        const int want[] = {c.clientWidth, c.clientHeight, c.promptLeft, c.rowLeft, c.rowTop, c.iconTop};
        for (int i = 0; i < 6; ++i)
            if (want[i] >= 0) EXPECT_EQ(got[i], want[i]) << "figure " << i;
    }
}
