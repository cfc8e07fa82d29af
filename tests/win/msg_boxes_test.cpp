// The boxes on Windows: the timed message box (buttons, default, Esc, access
// keys, layout in twips, the countdown by hand and by its timer), the timed
// input box, and the standard box with its Slovak captions.
#include <chrono>
#include <vector>

#include "tests/win/win_test_support.h"
#include "ui/forms.h"
#include "ui/msg_box_layout.h"
#include "win/frm_ruv_input_box.h"
#include "win/frm_ruv_msg_box.h"
#include "win/standard_msg_box.h"

namespace {

using namespace testing_win;
using Box = win::frmRuvMsgBox;
using M = ui::MsgBoxMetrics;

// The row's buttons, left to right.
std::vector<HWND> buttonsOf(HWND box) {
    std::vector<HWND> row;
    for (int id = Box::kFirstButton; HWND b = GetDlgItem(box, id); ++id) row.push_back(b);
    return row;
}

std::vector<std::string> captionsOf(HWND box) {
    std::vector<std::string> captions;
    for (HWND b : buttonsOf(box)) captions.push_back(win::windowText(b));
    return captions;
}

// Shows a box with the given flags and no countdown; act looks at it and closes it.
int show(int flags, std::function<void(HWND)> act, const std::string& prompt = "Správa") {
    whenBoxShown(std::move(act));
    Box box;
    return box.Ukaz(prompt, flags);
}

} // namespace

TEST(FrmRuvMsgBox, ButtonSetsCaptionsAndResults) {
    struct Set {
        int flags;
        std::vector<std::string> captions;
        std::vector<int> results;
    };
    const Set sets[] = {
        {0, {"OK"}, {1}},
        {1, {"OK", "Zrušiť"}, {1, 2}},
        {2, {"&Prerušiť", "&Znova", "&Ignorovať"}, {3, 4, 5}},
        {3, {"&Ano", "&Nie", "Zrušiť"}, {6, 7, 2}},
        {4, {"&Ano", "&Nie"}, {6, 7}},
    };
    for (const Set& set : sets)
        for (std::size_t i = 0; i < set.results.size(); ++i) {
            SCOPED_TRACE(set.flags * 10 + int(i));
            EXPECT_EQ(show(set.flags,
                           [&](HWND box) {
                               EXPECT_EQ(win::windowText(box), "Velmorant");
                               EXPECT_EQ(captionsOf(box), set.captions);
                               click(buttonsOf(box)[i]);
                           }),
                      set.results[i]);
        }
}

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

TEST(FrmRuvMsgBox, LayoutInTwipsAt96And144Dpi) {
    struct Case {
        int flags;
        std::string prompt;
    };
    const Case cases[] = {{64, "Import bol úspešný"},
                          {3, "Nekorektná verzia databázy:Tarvexon 3.161\r\n\r\nMá byť:Tarvexon 3.162\r\nC:\\a.mdb"},
                          {2 + 16, "x"}};
    for (const Case& c : cases)
        for (UINT dpi : {96u, 144u}) {
            SCOPED_TRACE(c.flags * 1000 + int(dpi));
            show(
                c.flags,
                [&](HWND box) {
                    changeDpi(box, dpi);
                    const ui::Twips tw(dpi);
                    const ui::Rect prompt = placeOf(GetDlgItem(box, Box::kPrompt));
                    const bool icon = IsWindowVisible(GetDlgItem(box, Box::kPicture));
                    EXPECT_EQ(icon, c.flags >= 16);
                    const std::vector<HWND> row = buttonsOf(box);
                    const ui::MsgBoxLayout l = ui::layOutMsgBox(tw.fromPixelsX(prompt.width),
                                                                tw.fromPixelsY(prompt.height), icon, int(row.size()));
                    EXPECT_EQ(clientOf(box), (ui::Rect{0, 0, tw.toPixelsX(l.clientWidth), tw.toPixelsY(l.clientHeight)}));
                    EXPECT_EQ(prompt.left, tw.toPixelsX(icon ? 720 : 120));
                    EXPECT_EQ(prompt.top, tw.toPixelsY(120));
                    if (c.flags == 3) {
                        EXPECT_GE(prompt.height, 4 * tw.fontPixels(9.75)); // every line of the message
                    }
                    for (std::size_t i = 0; i < row.size(); ++i)
                        EXPECT_EQ(placeOf(row[i]), tw.toPixels({l.rowLeft + int(i) * (M::buttonWidth + M::margin),
                                                                l.rowTop, M::buttonWidth, M::buttonHeight}));
                    if (icon) {
                        EXPECT_EQ(placeOf(GetDlgItem(box, Box::kPicture)), tw.toPixels({120, l.iconTop, 480, 480}));
                    }
                    PostMessageW(box, WM_CLOSE, 0, 0);
                },
                c.prompt);
        }
}

TEST(FrmRuvMsgBox, ShowMsgBoxCountsDownFrom24AndClosesWith2) {
    whenBoxShown([](HWND box) {
        KillTimer(box, Box::kTimer); // the ticks come by hand
        const HWND label = GetDlgItem(box, Box::kTimeout);
        EXPECT_TRUE(IsWindowVisible(label));
        EXPECT_EQ(win::windowText(label), "24");
        EXPECT_EQ(focusId(), Box::kFirstButton);
        for (int i = 0; i < 23; ++i) SendMessageW(box, WM_TIMER, Box::kTimer, 0);
        EXPECT_EQ(win::windowText(label), "1");
        const ui::Rect at = placeOf(label), client = clientOf(box);
        EXPECT_EQ(at.left + at.width, client.width);
        EXPECT_EQ(at.top + at.height, client.height);
        EXPECT_TRUE(IsWindowVisible(box));
        SendMessageW(box, WM_TIMER, Box::kTimer, 0);
    });
    EXPECT_EQ(win::ShowMsgBox(nullptr, "Import bol úspešný", 64), 2);

    // Without a timeout the label is hidden and the ticks change nothing.
    EXPECT_EQ(show(0,
                   [](HWND box) {
                       for (int i = 0; i < 3; ++i) SendMessageW(box, WM_TIMER, Box::kTimer, 0);
                       EXPECT_FALSE(IsWindowVisible(GetDlgItem(box, Box::kTimeout)));
                       click(buttonsOf(box)[0]);
                   }),
              1);
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

TEST(FrmRuvInputBox, CaptionsPlacesConfirmingAndCancelling) {
    namespace ib = ui::input_box;
    for (const auto& [title, caption] : {std::pair{"   ", "Velmorant"}, std::pair{"  Heslo ", "Heslo"}})
        ask(title, 0, [caption = std::string(caption)](HWND box) {
            EXPECT_EQ(win::windowText(box), caption);
            EXPECT_EQ(win::windowText(GetDlgItem(box, IDOK)), "Ok");
            EXPECT_EQ(win::windowText(GetDlgItem(box, IDCANCEL)), "Naspäť");
            for (UINT dpi : {96u, 144u}) {
                changeDpi(box, dpi);
                const ui::Twips tw(dpi);
                EXPECT_EQ(clientOf(box), (ui::Rect{0, 0, tw.toPixelsX(6360), tw.toPixelsY(2790)}));
                const int ids[] = {Input::kEdit, IDOK, IDCANCEL, Input::kPrompt};
                for (int i = 0; i < ib::kControlCount; ++i)
                    EXPECT_EQ(placeOf(GetDlgItem(box, ids[i])), tw.toPixels(ib::kControls[i].twips)) << i;
            }
            PostMessageW(box, WM_CLOSE, 0, 0);
        });
    EXPECT_EQ(ask("", 0,
                  [](HWND box) {
                      EXPECT_EQ(focusId(), Input::kEdit);
                      DWORD from = 1, to = 0;
                      SendMessageW(GetFocus(), EM_GETSEL, WPARAM(&from), LPARAM(&to));
                      EXPECT_EQ(from, 0u); // the default text is selected: typing replaces it
                      EXPECT_EQ(to, 3u);
                      for (wchar_t c : std::wstring(L"xý")) PostMessageW(GetFocus(), WM_CHAR, c, 1);
                      press(GetFocus(), VK_RETURN);
                      (void)box;
                  }),
              "xý");
    EXPECT_EQ(ask("", 0, [](HWND box) { click(GetDlgItem(box, IDOK)); }), "abc");
    EXPECT_EQ(ask("", 0, [](HWND box) { click(GetDlgItem(box, IDCANCEL)); }), "");
    EXPECT_EQ(ask("", 0, [](HWND) { press(GetFocus(), VK_ESCAPE); }), "");
    EXPECT_EQ(ask("", 0, [](HWND box) { PostMessageW(box, WM_CLOSE, 0, 0); }), "");
}

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

TEST(StandardMsgBox, SlovakCaptionsDefaultsAndResults) {
    struct Case {
        int flags;
        std::function<void(HWND)> act;
        int result;
    };
    const Case cases[] = {
        {291, [](HWND b) { click(GetDlgItem(b, IDNO)); }, 7},
        {291, [](HWND) { press(GetFocus(), VK_RETURN); }, 7}, // No is the default
        {291, [](HWND) { press(GetFocus(), VK_ESCAPE); }, 2},
        {291, [](HWND b) { PostMessageW(b, WM_CLOSE, 0, 0); }, 2},
        {48, [](HWND) { press(GetFocus(), VK_RETURN); }, 1},
        {4 + 64, [](HWND b) { click(GetDlgItem(b, IDYES)); }, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        whenShown(L"#32770", [&](HWND box) {
            EXPECT_EQ(win::windowText(box), "Velmorant");
            for (const auto& [id, caption] : {std::pair{IDYES, "&Áno"}, std::pair{IDNO, "&Nie"},
                                              std::pair{IDCANCEL, "Zrušiť"}, std::pair{IDOK, "OK"}})
                if (HWND button = GetDlgItem(box, id)) {
                    EXPECT_EQ(win::windowText(button), caption);
                }
            c.act(box);
        });
        EXPECT_EQ(win::showStandardMessage(nullptr, "Želáte si importovať súbor\r\nx", c.flags), c.result);
    }
}
