// Where the parts of the timed message box go, computed in twips from the
// size of its prompt, whether it shows an icon and how many buttons it has.
#pragma once

namespace dialogs {

struct MsgBoxMetrics {
    static constexpr int margin = 120; // left edge and top of the prompt
    static constexpr int buttonWidth = 1215;
    static constexpr int buttonHeight = 495;
    static constexpr int iconLeft = 120;
    static constexpr int iconSize = 480;
};

struct MsgBoxLayout {
    int clientWidth = 0;
    int clientHeight = 0;
    int promptLeft = 0;
    int rowLeft = 0; // left of the first button
    int rowTop = 0;
    int iconTop = 0;
};

MsgBoxLayout layOutMsgBox(int promptWidth, int promptHeight, bool withIcon, int buttonCount);

} // namespace dialogs
