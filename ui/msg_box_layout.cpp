#include "ui/msg_box_layout.h"

#include "ui/msg_box_flags.h"

namespace ui {

ButtonRow buttonRow(int flags) {
    ButtonRow row;
    const int set = mb::buttonSet(flags);
    if (set == mb::OkCancel) row.results = {mb::ResultOk};
    if (set == mb::YesNoCancel || set == mb::YesNo) row.results = {mb::ResultYes, mb::ResultNo};
    if (set == mb::AbortRetryIgnore) row.results = {mb::ResultAbort, mb::ResultRetry, mb::ResultIgnore};
    if (set == mb::YesNoCancel || set == mb::OkCancel) {
        row.escape = int(row.results.size());
        row.results.push_back(mb::ResultCancel);
    }
    if (row.results.empty()) { // OK alone, which Esc presses too
        row.results = {mb::ResultOk};
        row.escape = 0;
    }
    const int ordinal = mb::defaultButton(flags);
    if (ordinal < int(row.results.size())) row.focus = ordinal;
    return row;
}

MsgBoxLayout layOutMsgBox(int promptWidth, int promptHeight, bool withIcon, int buttonCount) {
    using M = MsgBoxMetrics;
    const int m = M::margin, t = M::margin;
    MsgBoxLayout out;

    int w = promptWidth + 2 * m;
    if (withIcon) w = M::iconSize + w + m;
    const int rowWidth = M::buttonWidth * buttonCount + (buttonCount - 1) * m;
    if (rowWidth + 2 * m > w) w = rowWidth + 2 * m;
    out.promptLeft = withIcon ? M::iconLeft + M::iconSize + m : m;

    // The content is never lower than the icon box, icon or not.
    int h = t + promptHeight;
    if (t + M::iconSize > h) h = t + M::iconSize;
    h += t + M::buttonHeight + t;

    out.clientWidth = w;
    out.clientHeight = h;
    out.rowLeft = (w - rowWidth) / 2;
    out.rowTop = h - M::buttonHeight - m;
    out.iconTop = t + (out.rowTop - t - M::iconSize) / 2;
    return out;
}

} // namespace ui
