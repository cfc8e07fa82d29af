// The Windows API as the window program uses it: wide (UTF-16) functions,
// Windows 10's DPI functions, no min/max macros.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>

#include <string>

namespace win {

// Text crosses into the Windows API as UTF-16 and comes back as UTF-8.
std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& utf16);

// The text of a window or control, as UTF-8.
std::string windowText(HWND window);

} // namespace win
