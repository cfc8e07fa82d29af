#include "win/frm_ruv_input_box.h"

#include "ui/forms.h"
#include "ui/texts.h"

namespace win {

namespace box = ui::input_box;

frmRuvInputBox::frmRuvInputBox(HWND owner) {
    create(owner, ui::kApplicationTitle);
    const auto text = [](box::Control which) { return box::kControls[which].text; };
    // In the tab order.
    txtEdit_ = addControl(WC_EDITW, "", kEdit, WS_CLIPSIBLINGS | WS_TABSTOP | ES_AUTOHSCROLL, box::kFontPoints,
                          WS_EX_CLIENTEDGE);
    cmdOk_ = addControl(WC_BUTTONW, text(box::Ok), IDOK, WS_CLIPSIBLINGS | WS_TABSTOP | BS_DEFPUSHBUTTON,
                        box::kFontPoints);
    cmdCancel_ = addControl(WC_BUTTONW, text(box::Cancel), IDCANCEL, WS_CLIPSIBLINGS | WS_TABSTOP | BS_PUSHBUTTON,
                            box::kFontPoints);
    lblPrompt_ = addControl(WC_STATICW, "", kPrompt, WS_CLIPSIBLINGS | SS_LEFT | SS_NOPREFIX, box::kFontPoints);
    lblTimeout_ = addControl(WC_STATICW, "", kTimeout, WS_CLIPSIBLINGS | SS_NOPREFIX, box::kFontPoints);
    SendMessageW(hwnd(), DM_SETDEFID, IDOK, 0);
    layOut();
}

std::string frmRuvInputBox::Ukaz(const std::string& prompt, const std::string& title, const std::string& defaultText,
                                 int timeoutSec) {
    countdown_.reset(timeoutSec);
    SetWindowTextW(hwnd(), widen(box::caption(title)).c_str());
    SetWindowTextW(lblPrompt_, widen(prompt).c_str());
    loading_ = true; // the edit box reports every text set, even an empty one on an empty box
    SetWindowTextW(txtEdit_, widen(defaultText).c_str());
    loading_ = false;
    if (!defaultText.empty()) textChanged();
    SendMessageW(txtEdit_, EM_SETSEL, 0, -1);
    ShowWindow(lblTimeout_, countdown_.counting() ? SW_SHOWNA : SW_HIDE);
    tick();
    centre();
    SetTimer(hwnd(), kTimer, 1000, nullptr);
    runModal();
    KillTimer(hwnd(), kTimer);
    return result_;
}

void frmRuvInputBox::layOut() {
    setClientSize(box::kClientWidth, box::kClientHeight);
    const HWND controls[box::kControlCount] = {txtEdit_, cmdOk_, cmdCancel_, lblPrompt_};
    for (int i = 0; i < box::kControlCount; ++i) place(controls[i], box::kControls[i].twips);
    placeInCorner(lblTimeout_);
}

void frmRuvInputBox::textChanged() {
    countdown_.restart();
    tick();
}

void frmRuvInputBox::tick() {
    if (!countdown_.step()) {
        close("");
        return;
    }
    SetWindowTextW(lblTimeout_, std::to_wstring(countdown_.remaining()).c_str());
    placeInCorner(lblTimeout_);
}

void frmRuvInputBox::close(std::string result) {
    result_ = std::move(result);
    endModal();
}

bool frmRuvInputBox::handle(UINT message, WPARAM wParam, LPARAM, LRESULT*) {
    switch (message) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: close(windowText(txtEdit_)); return true; // the button or Enter
        case IDCANCEL: close(""); return true;               // the button or Esc
        case kEdit:
            if (HIWORD(wParam) == EN_CHANGE && !loading_) textChanged();
            return true;
        default: return false;
        }
    case WM_CLOSE: // the result stays what it was
        endModal();
        return true;
    case WM_TIMER:
        if (wParam != kTimer) return false;
        tick();
        return true;
    default: return false;
    }
}

} // namespace win
