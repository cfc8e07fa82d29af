// Windows of the program open in the middle of their screen.
#pragma once

class QWidget;

namespace dialogs {

// Moves `window`, at its present size, to the middle of the screen it is on.
void centreOnScreen(QWidget* window);

} // namespace dialogs
