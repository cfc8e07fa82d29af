// The timed message box's buttons and where its parts go, computed in twips
// from the flags, the size of its prompt, whether it shows an icon and how
// many buttons it has.
#pragma once

#include <vector>

namespace ui {

struct MsgBoxMetrics {
    static constexpr int margin = 120; // left edge and top of the prompt
    static constexpr int buttonWidth = 1215;
    static constexpr int buttonHeight = 495;
    static constexpr int iconLeft = 120;
    static constexpr int iconSize = 480;
    static constexpr double fontPoints = 8.25;       // the box and its countdown
    static constexpr double promptFontPoints = 9.75; // the prompt and the buttons
};

// The row of buttons of a button set, left to right.
struct ButtonRow {
    std::vector<int> results; // the result code each button returns
    int escape = -1;          // the button Esc presses; -1: none
    int focus = -1;           // the button the focus starts on; -1: none
};

// Unknown button sets show OK alone.
ButtonRow buttonRow(int flags);

struct MsgBoxLayout {
    int clientWidth = 0;
    int clientHeight = 0;
    int promptLeft = 0;
    int rowLeft = 0; // left of the first button
    int rowTop = 0;
    int iconTop = 0;
};

MsgBoxLayout layOutMsgBox(int promptWidth, int promptHeight, bool withIcon, int buttonCount);

} // namespace ui
