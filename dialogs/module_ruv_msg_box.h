// Entry point of the timed message box for the rest of the program.
#pragma once

#include <QString>

namespace dialogs {

constexpr int kShowMsgBoxTimeoutSec = 25;

// Shows text in a fresh timed message box that closes itself after 25 s;
// returns the box's result code.
int ShowMsgBox(const QString& text, int buttons);

} // namespace dialogs
