#include "win/frm_ruv_msg_box.h"

#include "ui/msg_box_flags.h"
#include "ui/texts.h"

namespace win {

namespace mb = ui::mb;
using M = ui::MsgBoxMetrics;

namespace {

constexpr int kShowMsgBoxTimeoutSec = 25;
constexpr DWORD kLabel = WS_CLIPSIBLINGS | SS_NOPREFIX;

const wchar_t* stockIcon(int iconField) {
    switch (iconField) {
    case mb::Critical: return MAKEINTRESOURCEW(32513);    // the system's error icon
    case mb::Question: return MAKEINTRESOURCEW(32514);    // question
    case mb::Exclamation: return MAKEINTRESOURCEW(32515); // warning
    case mb::Information: return MAKEINTRESOURCEW(32516); // information
    default: return nullptr;
    }
}

} // namespace

frmRuvMsgBox::frmRuvMsgBox(HWND owner) {
    create(owner, ui::kApplicationTitle);
    lblPrompt_ = addControl(WC_STATICW, "", kPrompt, kLabel | SS_LEFTNOWORDWRAP, M::promptFontPoints);
    imgPicture_ = addControl(WC_STATICW, "", kPicture, WS_CLIPSIBLINGS | SS_ICON | SS_REALSIZECONTROL, M::fontPoints);
    ShowWindow(imgPicture_, SW_HIDE);
    lblTimeout_ = addControl(WC_STATICW, "", kTimeout, kLabel | SS_RIGHT, M::fontPoints);
}

int frmRuvMsgBox::Ukaz(const std::string& prompt, int buttons, int timeoutSec) {
    result_ = mb::ResultCancel;
    buttons_ = buttons;
    prompt_ = prompt;
    countdown_.reset(timeoutSec);
    load();
    ShowWindow(lblTimeout_, countdown_.counting() ? SW_SHOWNA : SW_HIDE);
    tick();
    SetTimer(hwnd(), kTimer, 1000, nullptr);
    runModal();
    KillTimer(hwnd(), kTimer);
    return result_;
}

void frmRuvMsgBox::load() {
    SetWindowTextW(lblPrompt_, widen(prompt_).c_str());
    row_ = ui::buttonRow(buttons_);
    for (std::size_t i = 0; i < row_.results.size(); ++i)
        cmdButton_.push_back(addControl(WC_BUTTONW, ui::FormatText(ui::buttonCaption(row_.results[i])),
                                        kFirstButton + int(i), WS_CLIPSIBLINGS | WS_TABSTOP | BS_PUSHBUTTON,
                                        M::promptFontPoints));
    chooseIcon();
    layOut();
    centre();
    activated_ = false;
}

void frmRuvMsgBox::chooseIcon() {
    withIcon_ = stockIcon(mb::icon(buttons_)) != nullptr;
    ShowWindow(imgPicture_, withIcon_ ? SW_SHOWNA : SW_HIDE);
}

void frmRuvMsgBox::layOut() {
    const ui::Twips tw = twips();
    const SIZE prompt = textSize(lblPrompt_, DT_NOPREFIX | DT_EXPANDTABS);
    layout_ = ui::layOutMsgBox(tw.fromPixelsX(prompt.cx), tw.fromPixelsY(prompt.cy), withIcon_,
                               int(cmdButton_.size()));
    setClientSize(layout_.clientWidth, layout_.clientHeight);
    SetWindowPos(lblPrompt_, nullptr, tw.toPixelsX(layout_.promptLeft), tw.toPixelsY(M::margin), prompt.cx, prompt.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    int x = layout_.rowLeft;
    for (HWND button : cmdButton_) {
        place(button, {x, layout_.rowTop, M::buttonWidth, M::buttonHeight});
        x += M::buttonWidth + M::margin;
    }
    place(imgPicture_, {M::iconLeft, layout_.iconTop, M::iconSize, M::iconSize});
    if (withIcon_) loadIcon();
    placeInCorner(lblTimeout_);
}

// The stock icon drawn for the present resolution.
void frmRuvMsgBox::loadIcon() {
    const int size = twips().toPixelsX(M::iconSize);
    const auto icon = static_cast<HICON>(LoadImageW(nullptr, stockIcon(mb::icon(buttons_)), IMAGE_ICON, size, size, 0));
    SendMessageW(imgPicture_, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    if (icon_) DestroyIcon(icon_);
    icon_ = icon;
}

void frmRuvMsgBox::tick() {
    if (countdown_.step()) {
        SetWindowTextW(lblTimeout_, std::to_wstring(countdown_.remaining()).c_str());
        placeInCorner(lblTimeout_);
        return;
    }
    result_ = mb::ResultCancel;
    endModal();
}

void frmRuvMsgBox::press(int resultCode) {
    if (!modal()) return; // a second press before the box has gone
    result_ = resultCode;
    endModal();
}

bool frmRuvMsgBox::handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
    case WM_ACTIVATE:
        // The dialog class puts the focus back first; on the first activation
        // it goes to the default button instead.
        *result = DefDlgProcW(hwnd(), message, wParam, lParam);
        if (LOWORD(wParam) != WA_INACTIVE && !activated_) {
            activated_ = true;
            if (row_.focus >= 0) SendMessageW(hwnd(), WM_NEXTDLGCTL, WPARAM(cmdButton_[row_.focus]), TRUE);
        }
        return true;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == IDCANCEL) { // Esc
            if (row_.escape >= 0) press(row_.results[row_.escape]);
        } else if (id >= kFirstButton && id < kFirstButton + int(cmdButton_.size()) && HIWORD(wParam) == BN_CLICKED) {
            press(row_.results[id - kFirstButton]);
        }
        return true;
    }
    case WM_CLOSE:
        result_ = mb::ResultCancel;
        endModal();
        return true;
    case WM_TIMER:
        if (wParam != kTimer) return false;
        tick();
        return true;
    case WM_DESTROY:
        if (icon_) DestroyIcon(icon_);
        icon_ = nullptr;
        return false;
    default: return false;
    }
}

int ShowMsgBox(HWND owner, const std::string& text, int buttons) {
    frmRuvMsgBox box(owner);
    return box.Ukaz(text, buttons, kShowMsgBoxTimeoutSec);
}

} // namespace win
