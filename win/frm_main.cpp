#include "win/frm_main.h"

#include "merge/import_run.h"
#include "merge/run_record.h"

namespace win {

namespace mw = ui::main_window;

namespace {

const wchar_t* windowClass(ui::ControlKind kind) {
    switch (kind) {
    case ui::ControlKind::TextBox: return WC_EDITW;
    case ui::ControlKind::Button: return WC_BUTTONW;
    default: return WC_STATICW;
    }
}

DWORD style(ui::ControlKind kind) {
    switch (kind) {
    case ui::ControlKind::TextBox: return WS_TABSTOP | ES_AUTOHSCROLL;
    case ui::ControlKind::Button: return WS_TABSTOP | BS_PUSHBUTTON;
    default: return SS_LEFTNOWORDWRAP | SS_NOPREFIX;
    }
}

} // namespace

frmMain::frmMain(Seams seams) : seams_(std::move(seams)), initialFolder_(programFolder()) {
    create(nullptr, mw::kCaption);
    for (int i = 0; i < mw::kControlCount; ++i) {
        const ui::ControlPlace& place = mw::kControls[i];
        controls_[i] = addControl(windowClass(place.kind), place.text, kFirstControl + i, style(place.kind),
                                  mw::kFontPoints, place.kind == ui::ControlKind::TextBox ? WS_EX_CLIENTEDGE : 0);
    }
    addTooltips();
    layOut();
    centre();
}

void frmMain::addTooltips() {
    tooltips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0,
                                0, 0, 0, hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
    for (int i = 0; i < mw::kControlCount; ++i) {
        std::wstring text = widen(mw::kControls[i].tooltip);
        if (text.empty()) continue;
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = hwnd();
        tool.uId = reinterpret_cast<UINT_PTR>(controls_[i]);
        tool.lpszText = text.data();
        SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void frmMain::show() {
    ShowWindow(hwnd(), SW_SHOW);
    focusTarget();
}

void frmMain::layOut() {
    setClientSize(mw::kClientWidth, mw::kClientHeight);
    for (int i = 0; i < mw::kControlCount; ++i) {
        if (mw::kControls[i].kind == ui::ControlKind::Label) fit(mw::Control(i));
        else place(controls_[i], mw::kControls[i].twips);
    }
}

// A label stands where its place says and takes the size of its caption.
void frmMain::fit(mw::Control label) {
    const ui::Rect at = twips().toPixels(mw::kControls[label].twips);
    fitLabel(controls_[label], at.left, at.top);
}

void frmMain::browse(const char* title, mw::Control box) {
    const FileDialogRequest request{title, windowText(controls_[box]), initialFolder_};
    if (const std::optional<std::string> chosen = seams_.fileDialog(hwnd(), request))
        SetWindowTextW(controls_[box], widen(*chosen).c_str());
}

void frmMain::cmdSpojSubory_Click() {
    const merge::ImportResult result = merge::ImportDatabase(windowText(controls_[mw::TargetBox]),
                                                             windowText(controls_[mw::SourceBox]), keyMaps_, *this);
    // The window has nowhere to say that the record could not be written.
    (void)merge::recordRun(result, "velmorant " VELMORANT_VERSION);
}

int frmMain::showMessage(const std::string& text, int flags) { return seams_.messageBox(hwnd(), text, flags); }

void frmMain::focusTarget() { SendMessageW(hwnd(), WM_NEXTDLGCTL, WPARAM(controls_[mw::TargetBox]), TRUE); }

void frmMain::focusSource() { SendMessageW(hwnd(), WM_NEXTDLGCTL, WPARAM(controls_[mw::SourceBox]), TRUE); }

void frmMain::setProgress(const std::string& caption) {
    const HWND label = controls_[mw::ProgressLabel];
    RECT before{}, after{}, both{};
    GetWindowRect(label, &before);
    SetWindowTextW(label, widen(caption).c_str());
    fit(mw::ProgressLabel);
    GetWindowRect(label, &after);
    UnionRect(&both, &before, &after);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&both), 2);
    // The run holds the window thread, so the label is painted at once, and
    // with it whatever a longer caption before it covered.
    RedrawWindow(hwnd(), &both, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void frmMain::showOutcome(const std::string& text, int flags) { seams_.outcomeBox(hwnd(), text, flags); }

bool frmMain::handle(UINT message, WPARAM wParam, LPARAM, LRESULT*) {
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED) return false;
        switch (LOWORD(wParam) - kFirstControl) {
        case mw::JoinButton: cmdSpojSubory_Click(); return true;
        case mw::TargetBrowse: browse(mw::kTargetBrowseTitle, mw::TargetBox); return true;
        case mw::SourceBrowse: browse(mw::kSourceBrowseTitle, mw::SourceBox); return true;
        default: return true; // Enter and Esc in a box: the window has no default or cancel button
        }
    case WM_CLOSE:
        ShowWindow(hwnd(), SW_HIDE);
        seams_.closed();
        return true;
    default: return false;
    }
}

} // namespace win
