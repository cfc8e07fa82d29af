// Helpers for driving the program's windows by messages: one thread, with
// modal boxes reached from a thread timer while their own loop runs.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "ui/geometry.h"
#include "win/win32.h"

namespace testing_win {

// Runs `action` on the next box of window class `windowClass` ("#32770":
// the system's message box) that becomes the active window, from inside its
// modal loop. The action must close the box; a guard closes it after a few
// seconds in case a failing test does not.
void whenShown(const wchar_t* windowClass, std::function<void(HWND)> action);

// The program's own boxes.
inline void whenBoxShown(std::function<void(HWND)> action) { whenShown(L"VelmorantDialog", std::move(action)); }

// Handles the messages waiting, as the program's loops do.
void pump();

// A key pressed and let go on `control` as the user types it, through the
// thread's message loop. With alt, the key is a letter typed with Alt.
void press(HWND control, WPARAM key, bool alt = false);

// Clicks a button as the mouse does.
void click(HWND button);

// The control's place in its window's client area, in pixels.
ui::Rect placeOf(HWND control);
// The client area's size in pixels.
ui::Rect clientOf(HWND window);

// The control that has the focus, by its number; 0: none.
int focusId();

// Moves the window to a monitor of `dpi` dots per inch, as Windows tells it.
void changeDpi(HWND window, UINT dpi);

} // namespace testing_win
