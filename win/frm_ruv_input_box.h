// The timed input box on Windows: one line of text under a prompt, OK and
// cancel, and a countdown that every change of the text starts again;
// running out of time counts as cancelling. Places and texts from ui/forms.h.
#pragma once

#include <string>

#include "ui/countdown.h"
#include "win/dialog_window.h"

namespace win {

class frmRuvInputBox : public DialogWindow {
public:
    // The controls' numbers: OK and cancel are the dialog's own.
    static constexpr int kEdit = 10, kPrompt = 11, kTimeout = 12;
    static constexpr UINT_PTR kTimer = 1;

    explicit frmRuvInputBox(HWND owner = nullptr);

    // Shows the box modally; returns the text confirmed with OK, or the empty
    // text when the box was cancelled, ran out of time or was closed.
    // A blank title stands for the application title; timeoutSec of 0 or
    // less: no countdown. One call per instance.
    std::string Ukaz(const std::string& prompt, const std::string& title, const std::string& defaultText,
                     int timeoutSec);

private:
    void layOut() override;
    void textChanged();
    void tick();
    void close(std::string result);
    bool handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    std::string result_;
    ui::Countdown countdown_;
    bool loading_ = false;

    HWND txtEdit_;
    HWND cmdOk_;
    HWND cmdCancel_;
    HWND lblPrompt_;
    HWND lblTimeout_;
};

} // namespace win
