// The system's standard message box with the program's title and the Slovak
// captions of its buttons, whatever the language of Windows; the flags and
// results are the box's own.
#pragma once

#include <string>

#include "win/win32.h"

namespace win {

int showStandardMessage(HWND owner, const std::string& text, int flags);

} // namespace win
