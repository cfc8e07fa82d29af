// What the program's windows have in common: a window of the system's dialog
// class (so that Tab, Enter, Esc and access keys work as in any dialog),
// controls placed in twips at the window's resolution and placed again when
// it moves to a monitor of another resolution, labels that take the size of
// their text, centring by the outer frame, and a modal display.
#pragma once

#include <string>
#include <vector>

#include "ui/geometry.h"
#include "win/win32.h"

namespace win {

class DialogWindow {
public:
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;
    virtual ~DialogWindow();

    HWND hwnd() const { return hwnd_; }
    UINT dpi() const { return dpi_; }
    ui::Twips twips() const { return ui::Twips(dpi_); }

    // Hands a message of the thread's loop to the window it is for, as a
    // dialog takes it: Tab, Esc, access keys, and Enter on a focused push
    // button pressing that button. False when it is for none of the
    // program's windows; then the loop dispatches it.
    static bool takeDialogMessage(MSG& msg);

protected:
    DialogWindow() = default;

    // Makes the window (hidden) with a fixed dialog frame, a close box and
    // neither minimise nor maximise; `owner` may be null.
    void create(HWND owner, const std::string& caption);
    // The window's font of `points` at its resolution.
    HFONT font(double points);
    // A child control in the tab order of creation; `points` its font.
    HWND addControl(const wchar_t* windowClass, const std::string& text, int id, DWORD style, double points,
                    DWORD exStyle = 0);
    void place(HWND control, const ui::Rect& twips) const;
    // Places a label at the pixels `left`, `top` at the size of its text.
    void fitLabel(HWND label, int left, int top) const;
    SIZE textSize(HWND control, UINT format) const;
    // Puts a label, at the size of its text, in the client area's
    // bottom-right corner, over any control there.
    void placeInCorner(HWND label) const;
    // Gives the window the client size of `width` by `height` twips.
    void setClientSize(int width, int height);
    // Puts the outer frame in the middle of the monitor the window is on.
    void centre();

    // Shows the window and handles messages until endModal(); the owner
    // takes no input meanwhile.
    void runModal();
    void endModal();
    // Whether the modal display runs and has not been ended.
    bool modal() const { return modal_; }

    // Places the controls at the present resolution.
    virtual void layOut() = 0;
    // The window's own handling; what it leaves goes to the dialog class.
    virtual bool handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) = 0;

private:
    struct Child {
        HWND hwnd;
        double points;
    };
    struct Font {
        double points;
        HFONT handle;
    };
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void dpiChanged(UINT dpi, const RECT& suggested);
    void dropFonts();

    HWND hwnd_ = nullptr;
    HWND owner_ = nullptr;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    std::vector<Child> children_;
    std::vector<Font> fonts_;
    bool modal_ = false;
};

} // namespace win
