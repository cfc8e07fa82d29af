// Program entry: shows the main window, not modal, and returns; the program
// then runs until the window is closed.
#pragma once

namespace app::Module1 {

void Main();

} // namespace app::Module1
