// What the timed boxes share: a countdown label in the client area's
// bottom-right corner, one step a second while the box shows, and the box
// ending itself when a step finds the time run out.
#pragma once

#include "ui/countdown.h"
#include "win/dialog_window.h"

namespace win {

class TimedBox : public DialogWindow {
public:
    // The countdown label's control number and the timer behind it.
    static constexpr int kTimeout = 12;
    static constexpr UINT_PTR kTimer = 1;

protected:
    // Makes the corner label; `style` adds to a plain static's.
    void addCountdownLabel(DWORD style, double points);
    void placeCountdownLabel() const { placeInCorner(lblTimeout_); }
    // REQUIRES: countdown_ reset. Shows the box modally until endModal(),
    // stepping the countdown once a second.
    void runCounting();
    // One step: the label shows the seconds left, or timedOut() ends the box.
    void tick();
    // Takes the countdown's timer message; false for any other.
    bool timerMessage(UINT message, WPARAM wParam);
    virtual void timedOut() = 0;

    ui::Countdown countdown_;

private:
    HWND lblTimeout_ = nullptr;
};

} // namespace win
