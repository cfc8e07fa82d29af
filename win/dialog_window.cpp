#include "win/dialog_window.h"

#include "ui/texts.h"

namespace win {

namespace {

constexpr wchar_t kClassName[] = L"VelmorantDialog";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// The system's dialog class behaviour for windows of our own class: its
// window data holds what the dialog manager keeps.
void registerClass() {
    static const ATOM atom = [] {
        WNDCLASSEXW c{};
        c.cbSize = sizeof c;
        c.lpfnWndProc = DefDlgProcW; // replaced per window in create()
        c.cbWndExtra = DLGWINDOWEXTRA;
        c.hInstance = GetModuleHandleW(nullptr);
        c.hIcon = LoadIconW(c.hInstance, MAKEINTRESOURCEW(1)); // the program's icon, where it has one
        c.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // the arrow
        c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        c.lpszClassName = kClassName;
        return RegisterClassExW(&c);
    }();
    (void)atom;
}

bool isOurs(HWND window) {
    wchar_t name[32] = {};
    return window && GetClassNameW(window, name, 32) && lstrcmpW(name, kClassName) == 0;
}

bool isPushButton(HWND control) {
    return control && (SendMessageW(control, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON));
}

} // namespace

DialogWindow::~DialogWindow() {
    if (hwnd_) {
        // What the window still hears while it goes is no business of ours.
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    dropFonts();
}

void DialogWindow::create(HWND owner, const std::string& caption) {
    registerClass();
    owner_ = owner;
    hwnd_ = CreateWindowExW(kExStyle, kClassName, widen(caption).c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                            100, 100, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(windowProc));
    dpi_ = GetDpiForWindow(hwnd_);
}

LRESULT CALLBACK DialogWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && message == WM_DPICHANGED) {
        self->dpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    }
    LRESULT result = 0;
    if (self && self->handle(message, wParam, lParam, &result)) return result;
    return DefDlgProcW(hwnd, message, wParam, lParam);
}

HFONT DialogWindow::font(double points) {
    for (const Font& f : fonts_)
        if (f.points == points) return f.handle;
    // Arial, normal weight, Central European letters.
    const HFONT handle = CreateFontW(-twips().fontPixels(points), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                     EASTEUROPE_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                     DEFAULT_PITCH | FF_SWISS, L"Arial");
    fonts_.push_back({points, handle});
    return handle;
}

void DialogWindow::dropFonts() {
    for (const Font& f : fonts_) DeleteObject(f.handle);
    fonts_.clear();
}

HWND DialogWindow::addControl(const wchar_t* windowClass, const std::string& text, int id, DWORD style,
                              double points, DWORD exStyle) {
    const HWND control = CreateWindowExW(exStyle, windowClass, widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0,
                                         0, 0, 0, hwnd_, reinterpret_cast<HMENU>(INT_PTR(id)),
                                         GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font(points)), FALSE);
    children_.push_back({control, points});
    return control;
}

void DialogWindow::place(HWND control, const ui::Rect& twips) const {
    const ui::Rect r = this->twips().toPixels(twips);
    SetWindowPos(control, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE DialogWindow::textSize(HWND control, UINT format) const {
    const std::wstring text = widen(windowText(control));
    const HDC dc = GetDC(control);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), int(text.size()), &r, format | DT_CALCRECT);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return {r.right - r.left, std::max(LONG(r.bottom - r.top), metrics.tmHeight)};
}

void DialogWindow::fitLabel(HWND label, int left, int top) const {
    const SIZE size = textSize(label, DT_NOPREFIX | DT_EXPANDTABS);
    SetWindowPos(label, nullptr, left, top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void DialogWindow::placeInCorner(HWND label) const {
    RECT client{};
    GetClientRect(hwnd_, &client);
    const SIZE size = textSize(label, DT_NOPREFIX);
    const ui::Point at = ui::bottomRightOrigin(client.right, client.bottom, size.cx, size.cy);
    SetWindowPos(label, HWND_TOP, at.x, at.y, size.cx, size.cy, SWP_NOACTIVATE);
}

void DialogWindow::setClientSize(int width, int height) {
    // The frame stays as it is: the outer size grows with the client size.
    RECT outer{}, client{};
    GetWindowRect(hwnd_, &outer);
    GetClientRect(hwnd_, &client);
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left - client.right + twips().toPixelsX(width),
                 outer.bottom - outer.top - client.bottom + twips().toPixelsY(height),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void DialogWindow::centre() {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& m = monitor.rcMonitor;
    RECT outer{};
    GetWindowRect(hwnd_, &outer);
    const ui::Point at = ui::centredOrigin({int(m.left), int(m.top), int(m.right - m.left), int(m.bottom - m.top)},
                                           int(outer.right - outer.left), int(outer.bottom - outer.top));
    SetWindowPos(hwnd_, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void DialogWindow::dpiChanged(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    std::vector<Font> old;
    old.swap(fonts_);
    for (const Child& child : children_)
        SendMessageW(child.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font(child.points)), FALSE);
    for (const Font& f : old) DeleteObject(f.handle);
    layOut();
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void DialogWindow::runModal() {
    const bool ownerEnabled = owner_ && IsWindowEnabled(owner_);
    if (ownerEnabled) EnableWindow(owner_, FALSE);
    ShowWindow(hwnd_, SW_SHOW);
    modal_ = true;
    MSG msg;
    while (modal_) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) { // the program is ending: leave the request to the outer loop
            PostQuitMessage(int(msg.wParam));
            break;
        }
        if (got < 0) break;
        if (!takeDialogMessage(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    // The owner first, so that it becomes the active window again.
    if (ownerEnabled) EnableWindow(owner_, TRUE);
    ShowWindow(hwnd_, SW_HIDE);
}

void DialogWindow::endModal() { modal_ = false; }

bool DialogWindow::takeDialogMessage(MSG& msg) {
    const HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (!isOurs(root)) return false;
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && isPushButton(msg.hwnd)) {
        SendMessageW(root, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(msg.hwnd), BN_CLICKED), LPARAM(msg.hwnd));
        return true;
    }
    return IsDialogMessageW(root, &msg);
}

} // namespace win
