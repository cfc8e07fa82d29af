// The boxes on Windows: the timed message box (default, Esc, access keys,
// its own timer) and the timed input box's countdown.
#include <chrono>
#include <vector>

#include "tests/win/win_test_support.h"
#include "win/frm_ruv_input_box.h"
#include "win/frm_ruv_msg_box.h"

namespace {

using namespace testing_win;
using Box = win::frmRuvMsgBox;

// The row's buttons, left to right.
std::vector<HWND> buttonsOf(HWND box) {
    std::vector<HWND> row;
    for (int id = Box::kFirstButton; HWND b = GetDlgItem(box, id); ++id) row.push_back(b);
    return row;
}

// Shows a box with the given flags and no countdown; act looks at it and closes it.
int show(int flags, std::function<void(HWND)> act) {
    whenBoxShown(std::move(act));
    Box box;
    return box.Ukaz("Správa", flags);
}

} // namespace

// Result 0: the key leaves the box open, and a click on the first button then answers.
TEST(FrmRuvMsgBox, KeysPressTheRightButtons) {
    struct Case {
        int flags;
        WPARAM key;
        bool alt;
        int result;
    };
    const Case cases[] = {
        {48, VK_ESCAPE, false, 1}, {48, VK_SPACE, false, 1},   {1 + 256, VK_ESCAPE, false, 2},
        {1 + 256, VK_RETURN, false, 2}, {4, 'n', true, 7},     {3, 'a', true, 6},
        {2, 'i', true, 5},         {4, VK_ESCAPE, false, 0},   {3 + 512, VK_RETURN, false, 2},
        {4 + 768, VK_RETURN, false, 6}, // a default beyond the row: the first has the focus
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags * 1000 + int(c.key));
        const int result = show(c.flags, [c](HWND box) {
            press(GetFocus() ? GetFocus() : box, c.key, c.alt);
            if (c.result != 0) return;
            pump();
            click(buttonsOf(box)[0]);
        });
        EXPECT_EQ(result, c.result == 0 ? 6 : c.result);
    }
}

TEST(FrmRuvMsgBox, ItsOwnTimerClosesItAfterTheTimeout) {
    const auto start = std::chrono::steady_clock::now();
    Box box;
    EXPECT_EQ(box.Ukaz("Zavrie sa sám", 0, 3), 2); // two ticks after it shows
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GT(seconds, 1.0);
    EXPECT_LT(seconds, 20.0);
}

namespace {

using Input = win::frmRuvInputBox;

std::string ask(const std::string& title, int timeout, std::function<void(HWND)> act) {
    whenBoxShown([act](HWND box) {
        KillTimer(box, Input::kTimer);
        act(box);
    });
    Input box;
    return box.Ukaz("Zadajte text", title, "abc", timeout);
}

} // namespace

TEST(FrmRuvInputBox, CountdownStartsAgainOnEveryChange) {
    const std::string result = ask("", 10, [](HWND box) {
        const HWND label = GetDlgItem(box, Input::kTimeout);
        EXPECT_EQ(win::windowText(label), "8"); // the default text and the first step
        for (int i = 0; i < 5; ++i) SendMessageW(box, WM_TIMER, Input::kTimer, 0);
        EXPECT_EQ(win::windowText(label), "3");
        SendMessageW(GetDlgItem(box, Input::kEdit), WM_CHAR, L'z', 1);
        EXPECT_EQ(win::windowText(label), "9");
        for (int i = 0; i < 8; ++i) SendMessageW(box, WM_TIMER, Input::kTimer, 0);
        EXPECT_TRUE(IsWindowVisible(box));
        SendMessageW(box, WM_TIMER, Input::kTimer, 0);
    });
    EXPECT_EQ(result, "");
}
