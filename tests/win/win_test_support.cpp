#include "tests/win/win_test_support.h"

#include "win/dialog_window.h"

namespace testing_win {

namespace {

class Environment : public ::testing::Environment {
public:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
    }
};
const auto* const registered = ::testing::AddGlobalTestEnvironment(new Environment);

struct Waiting {
    std::wstring windowClass;
    std::function<void(HWND)> action;
    int ticks = 0;
};
Waiting waiting;
UINT_PTR waitTimer = 0;
HWND guarded = nullptr;

bool isClass(HWND window, const std::wstring& name) {
    wchar_t found[64] = {};
    return window && GetClassNameW(window, found, 64) && name == found;
}

void CALLBACK closeStuckBox(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    if (IsWindow(guarded) && IsWindowVisible(guarded)) PostMessageW(guarded, WM_CLOSE, 0, 0);
}

void CALLBACK lookForBox(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND active = GetActiveWindow();
    if (!(isClass(active, waiting.windowClass) && IsWindowVisible(active) && IsWindowEnabled(active))) {
        if (++waiting.ticks < 500) return;
        KillTimer(nullptr, timer);
        ADD_FAILURE() << "no box of the expected kind became active";
        return;
    }
    KillTimer(nullptr, timer);
    guarded = active;
    SetTimer(nullptr, 0, 5000, closeStuckBox);
    const std::function<void(HWND)> action = std::move(waiting.action);
    action(active);
}

} // namespace

void whenShown(const wchar_t* windowClass, std::function<void(HWND)> action) {
    waiting = {windowClass, std::move(action), 0};
    waitTimer = SetTimer(nullptr, 0, 10, lookForBox);
}

void pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (win::DialogWindow::takeDialogMessage(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void press(HWND control, WPARAM key, bool alt) {
    if (alt) {
        PostMessageW(control, WM_SYSCHAR, key, LPARAM(1) << 29);
    } else {
        PostMessageW(control, WM_KEYDOWN, key, 1);
        PostMessageW(control, WM_KEYUP, key, LPARAM(0xC0000001));
    }
}

void click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }

ui::Rect placeOf(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return {int(r.left), int(r.top), int(r.right - r.left), int(r.bottom - r.top)};
}

ui::Rect clientOf(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return {0, 0, int(r.right), int(r.bottom)};
}

int focusId() { return GetFocus() ? GetDlgCtrlID(GetFocus()) : 0; }

void changeDpi(HWND window, UINT dpi) {
    RECT suggested{};
    GetWindowRect(window, &suggested);
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

} // namespace testing_win
