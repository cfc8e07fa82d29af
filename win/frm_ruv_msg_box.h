// The timed message box on Windows: standard message-box flags in, standard
// result codes out, the Slovak captions, buttons, layout and countdown of the
// shared core (ui/).
#pragma once

#include <string>
#include <vector>

#include "ui/countdown.h"
#include "ui/msg_box_layout.h"
#include "win/dialog_window.h"

namespace win {

class frmRuvMsgBox : public DialogWindow {
public:
    // The controls' numbers: the buttons count up from kFirstButton.
    static constexpr int kPrompt = 10, kPicture = 11, kTimeout = 12, kFirstButton = 100;
    static constexpr UINT_PTR kTimer = 1;

    explicit frmRuvMsgBox(HWND owner = nullptr);

    // Shows the box modally and returns the result code: the pressed button's,
    // or 2 when the countdown ran out or the window was closed otherwise.
    // timeoutSec of 0 or less: no countdown. One call per instance.
    int Ukaz(const std::string& prompt, int buttons = 0, int timeoutSec = 0);

    // The layout in twips, for tests.
    const ui::MsgBoxLayout& layoutTwips() const { return layout_; }

private:
    void load();
    void chooseIcon();
    void loadIcon();
    void layOut() override;
    void tick();
    void press(int resultCode);
    bool handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    std::string prompt_;
    int buttons_ = 0;
    int result_ = 2;
    bool activated_ = false;
    bool withIcon_ = false;
    ui::Countdown countdown_;
    ui::ButtonRow row_;
    ui::MsgBoxLayout layout_;

    HWND lblPrompt_;
    HWND imgPicture_;
    HWND lblTimeout_;
    std::vector<HWND> cmdButton_; // in the row's order
    HICON icon_ = nullptr;
};

// Shows `text` in a fresh timed message box owned by `owner` that closes
// itself after 25 s; returns the box's result code.
int ShowMsgBox(HWND owner, const std::string& text, int buttons);

} // namespace win
