#include "win/standard_msg_box.h"

#include "ui/msg_box_flags.h"
#include "ui/texts.h"

namespace win {

namespace {

namespace mb = ui::mb;

HHOOK hook = nullptr;

// The box's buttons carry their result codes as their numbers: once the box
// is about to show, each gets its Slovak caption.
LRESULT CALLBACK renameButtons(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        const HWND box = reinterpret_cast<HWND>(wParam);
        for (int result = mb::ResultOk; result <= mb::ResultNo; ++result)
            if (const HWND button = GetDlgItem(box, result))
                SetWindowTextW(button, widen(ui::standardButtonCaption(result)).c_str());
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

} // namespace

int showStandardMessage(HWND owner, const std::string& text, int flags) {
    const HHOOK outer = hook;
    hook = SetWindowsHookExW(WH_CBT, renameButtons, nullptr, GetCurrentThreadId());
    const int result =
        MessageBoxW(owner, widen(text).c_str(), widen(ui::kApplicationTitle).c_str(), UINT(flags) | MB_SETFOREGROUND);
    UnhookWindowsHookEx(hook);
    hook = outer;
    return result;
}

} // namespace win
