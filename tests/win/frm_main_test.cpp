// The main window on Windows, driven by messages: texts, places in twips,
// tab order, browsing through its seam, the progress label, and runs clicked
// through it with the real boxes answered from a thread timer.
#include "win/frm_main.h"

#include <memory>
#include <vector>

#include "support/files.h"
#include "support/process.h"
#include "tests/win/win_test_support.h"
#include "ui/line_breaks.h"
#include "ui/msg_box_flags.h"

namespace {

namespace mw = ui::main_window;
using namespace testing_win;
using test_files::fs::path;
using test_files::pathOf;

class FrmMain : public ::testing::Test {
protected:
    void SetUp() override {
        win::Seams seams;
        seams.fileDialog = [this](HWND, const win::FileDialogRequest& r) {
            requests_.push_back(r);
            std::optional<std::string> answer;
            if (!chosen_.empty()) answer = chosen_.front();
            if (!chosen_.empty()) chosen_.erase(chosen_.begin());
            return answer;
        };
        seams.messageBox = [](HWND, const std::string&, int) { return ui::mb::ResultCancel; };
        seams.outcomeBox = [](HWND, const std::string&, int) {};
        seams.closed = [] {};
        window_ = std::make_unique<win::frmMain>(std::move(seams));
        window_->show();
        pump();
    }

    HWND at(mw::Control which) const { return window_->control(which); }
    void type(mw::Control box, const std::string& text) { SetWindowTextW(at(box), win::widen(text).c_str()); }

    std::unique_ptr<win::frmMain> window_;
    std::vector<win::FileDialogRequest> requests_;
    std::vector<std::optional<std::string>> chosen_; // the file dialog's answers
};

std::string tooltipOf(HWND tooltips, HWND window, HWND control) {
    wchar_t text[256] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text;
    SendMessageW(tooltips, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
    return win::narrow(text);
}

} // namespace

TEST_F(FrmMain, SlovakTextsTooltipsFocusTabOrderAndFrame) {
    const HWND w = window_->hwnd();
    EXPECT_EQ(win::windowText(w), "Spojenie databáz");
    for (int i = 0; i < mw::kControlCount; ++i) {
        SCOPED_TRACE(mw::kControls[i].name);
        EXPECT_EQ(win::windowText(at(mw::Control(i))), mw::kControls[i].text);
        EXPECT_EQ(tooltipOf(window_->tooltips(), w, at(mw::Control(i))), mw::kControls[i].tooltip);
    }
    EXPECT_EQ(win::windowText(at(mw::JoinButton)), "Spoj súbory");
    EXPECT_EQ(tooltipOf(window_->tooltips(), w, at(mw::SourceBox)),
              "Názov súboru, ktorý má byť pridaný do \"spojeného súboru\"");

    EXPECT_EQ(GetFocus(), at(mw::TargetBox));
    std::vector<HWND> order{GetFocus()};
    for (int i = 0; i < 5; ++i) order.push_back(GetNextDlgTabItem(w, order.back(), FALSE));
    EXPECT_EQ(order, (std::vector<HWND>{at(mw::TargetBox), at(mw::SourceBox), at(mw::JoinButton),
                                        at(mw::TargetBrowse), at(mw::SourceBrowse), at(mw::TargetBox)}));

    // The manifest: UTF-8 narrow strings, Common Controls 6, per-monitor DPI.
    EXPECT_EQ(GetACP(), UINT(CP_UTF8));
    wchar_t controls[MAX_PATH] = {};
    GetModuleFileNameW(GetModuleHandleW(L"comctl32.dll"), controls, MAX_PATH);
    EXPECT_NE(std::wstring(controls).find(L"common-controls_6595b64144ccf1df_6."), std::wstring::npos);
    EXPECT_EQ(GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext()), DPI_AWARENESS_PER_MONITOR_AWARE);

    const LONG_PTR style = GetWindowLongPtrW(w, GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));

    // Centred by the outer frame.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(w, MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT outer{};
    GetWindowRect(w, &outer);
    EXPECT_LE(std::abs((outer.left - monitor.rcMonitor.left) - (monitor.rcMonitor.right - outer.right)), 1);
    EXPECT_LE(std::abs((outer.top - monitor.rcMonitor.top) - (monitor.rcMonitor.bottom - outer.bottom)), 1);
}

TEST_F(FrmMain, PlacesInTwipsAt96And144Dpi) {
    for (UINT dpi : {96u, 144u}) {
        SCOPED_TRACE(dpi);
        changeDpi(window_->hwnd(), dpi);
        const ui::Twips tw(dpi);
        EXPECT_EQ(clientOf(window_->hwnd()), (ui::Rect{0, 0, tw.toPixelsX(7125), tw.toPixelsY(1890)}));
        for (int i = 0; i < mw::kControlCount; ++i) {
            SCOPED_TRACE(mw::kControls[i].name);
            const ui::Rect want = tw.toPixels(mw::kControls[i].twips);
            const ui::Rect got = placeOf(at(mw::Control(i)));
            if (mw::kControls[i].kind != ui::ControlKind::Label) {
                EXPECT_EQ(got, want);
                continue;
            }
            // A label stands at its place at the size of its caption.
            EXPECT_EQ(got.left, want.left);
            EXPECT_EQ(got.top, want.top);
        }
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(at(mw::TargetLabel), WM_GETFONT, 0, 0)), sizeof font, &font);
        EXPECT_EQ(font.lfHeight, -tw.fontPixels(8.25));
        EXPECT_EQ(std::wstring(font.lfFaceName), L"Arial");
        EXPECT_EQ(font.lfCharSet, 238);
        // The caption fits its label, the longer one wider at the higher resolution.
        EXPECT_GT(placeOf(at(mw::TargetLabel)).width, tw.toPixelsX(700));
    }
}

TEST_F(FrmMain, BrowsingFillsTheBoxWithTheChosenPathAndCancelKeepsIt) {
    type(mw::TargetBox, "  starý.mdb");
    chosen_ = {"C:\\dáta\\cieľ.mdb", std::nullopt, "C:\\dáta\\zdroj s medzerou.mdb"};
    click(at(mw::TargetBrowse));
    // Enter and Space press the button that has the focus.
    SetFocus(at(mw::TargetBrowse));
    press(at(mw::TargetBrowse), VK_RETURN);
    pump();
    SetFocus(at(mw::SourceBrowse));
    press(at(mw::SourceBrowse), VK_SPACE);
    pump();
    EXPECT_EQ(win::windowText(at(mw::TargetBox)), "C:\\dáta\\cieľ.mdb");
    EXPECT_EQ(win::windowText(at(mw::SourceBox)), "C:\\dáta\\zdroj s medzerou.mdb");

    ASSERT_EQ(requests_.size(), 3u);
    EXPECT_EQ(requests_[0].title, "Výsledný súbor");
    EXPECT_EQ(requests_[0].fileName, "  starý.mdb"); // the box's text, unchanged
    EXPECT_TRUE(test_files::fs::equivalent(pathOf(requests_[0].initialFolder), VELMORANT_BIN_DIR))
        << requests_[0].initialFolder;
    EXPECT_EQ(requests_[1].fileName, "C:\\dáta\\cieľ.mdb");
    EXPECT_EQ(requests_[2].title, "Pridaný súbor");
}

TEST_F(FrmMain, ProgressCaptionPaintsAtOnce) {
    const HWND label = at(mw::ProgressLabel);
    // No message is handled in between: each caption is painted at once, and
    // a shorter one, or the empty one, wipes the tail of the longer one before it.
    for (const std::string caption : {"pozadovane_casove_zony_identifikatorov_na_zariadeniach", "zvuky", ""}) {
        SCOPED_TRACE(caption);
        window_->setProgress(caption);
        EXPECT_EQ(win::windowText(label), caption);
        EXPECT_FALSE(GetUpdateRect(label, nullptr, FALSE));
        EXPECT_FALSE(GetUpdateRect(window_->hwnd(), nullptr, FALSE));
        if (!caption.empty()) {
            EXPECT_GT(placeOf(label).width, int(caption.size()) * 3);
        }
    }
}

// The whole road as the user takes it: the real question and outcome boxes,
// a target named with Slovak letters in a folder with spaces; the file is the
// one the command-line program writes from the same pair.
TEST(FrmMainRun, WholeMergeThroughTheWindow) {
    const test_files::ScratchDir dir("velmorant-win");
    const path folder = dir.path() / pathOf("cieľový priečinok s medzerami");
    const path target = pathOf("výsledná databáza.mdb"), source = pathOf("pridaná databáza.mdb");
    test_files::fs::create_directories(folder / "cli");
    for (const path& where : {folder, folder / "cli"}) {
        test_files::fs::copy_file(test_files::testData("blank.mdb"), where / target);
        test_files::fs::copy_file(test_files::testData("sample.mdb"), where / source);
    }
    win::Seams seams;
    seams.closed = [] {};
    win::frmMain window(seams);
    window.show();
    pump();
    SetWindowTextW(window.control(mw::TargetBox), (L"  " + (folder / target).wstring()).c_str());
    SetWindowTextW(window.control(mw::SourceBox), (folder / source).wstring().c_str());

    const auto cli = test_files::cli("merge " + test_files::quoted(folder / "cli" / target) + " " +
                                     test_files::quoted(folder / "cli" / source) + " --yes");
    ASSERT_NE(cli.out.find("zariadenia copied="), std::string::npos) << cli.out << cli.err;
    std::string cliOutcome = cli.out.substr(cli.out.find("\nImport") + 1);
    cliOutcome.pop_back(); // its line's end

    std::vector<std::string> seen;
    whenShown(L"#32770", [&](HWND box) {
        EXPECT_EQ(win::windowText(box), "Velmorant");
        for (int id : {IDYES, IDNO, IDCANCEL}) seen.push_back(win::windowText(GetDlgItem(box, id)));
        EXPECT_EQ(focusId(), IDNO); // No is the default
        whenBoxShown([&](HWND outcome) {
            EXPECT_FALSE(IsWindowEnabled(window.hwnd())); // the box is modal
            seen.push_back(ui::lfLineBreaks(win::windowText(GetDlgItem(outcome, win::frmRuvMsgBox::kPrompt))));
            seen.push_back(win::windowText(GetDlgItem(outcome, win::frmRuvMsgBox::kTimeout)));
            click(GetDlgItem(outcome, win::frmRuvMsgBox::kFirstButton));
        });
        click(GetDlgItem(box, IDYES));
    });
    click(window.control(mw::JoinButton));
    // The outcome box breaks lines with CR LF, the terminal with LF.
    EXPECT_EQ(seen, (std::vector<std::string>{"&Áno", "&Nie", "Zrušiť", cliOutcome, "24"}));
    EXPECT_EQ(win::windowText(window.control(mw::ProgressLabel)), "");
    EXPECT_EQ(test_files::readAll(folder / target), test_files::readAll(folder / "cli" / target));
}
