#include "win/timed_box.h"

#include <string>

namespace win {

void TimedBox::addCountdownLabel(DWORD style, double points) {
    lblTimeout_ = addControl(WC_STATICW, "", kTimeout, WS_CLIPSIBLINGS | SS_NOPREFIX | style, points);
}

void TimedBox::runCounting() {
    ShowWindow(lblTimeout_, countdown_.counting() ? SW_SHOWNA : SW_HIDE);
    tick();
    SetTimer(hwnd(), kTimer, 1000, nullptr);
    runModal();
    KillTimer(hwnd(), kTimer);
}

void TimedBox::tick() {
    if (!countdown_.step()) {
        timedOut();
        return;
    }
    SetWindowTextW(lblTimeout_, std::to_wstring(countdown_.remaining()).c_str());
    placeInCorner(lblTimeout_);
}

bool TimedBox::timerMessage(UINT message, WPARAM wParam) {
    if (message != WM_TIMER || wParam != kTimer) return false;
    tick();
    return true;
}

} // namespace win
