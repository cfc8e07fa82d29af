// Windows of the program open in the middle of their screen.
#pragma once

class QWidget;

namespace dialogs {

// Moves `window`, at its present size, so that its outer frame stands in the
// middle of the screen it is on. The frame is known once the window shows:
// call it again then.
void centreOnScreen(QWidget* window);

} // namespace dialogs
