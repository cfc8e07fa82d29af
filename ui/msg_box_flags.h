// The message-box flags and results (the usual Windows values): what the
// import run asks for (merge/run_ui.h) and what every front-end's boxes show.
#pragma once

namespace ui::mb {

// The flags add up a button set, an icon and a default button.
constexpr int OkOnly = 0, OkCancel = 1, AbortRetryIgnore = 2, YesNoCancel = 3, YesNo = 4, RetryCancel = 5;
constexpr int Critical = 16, Question = 32, Exclamation = 48, Information = 64;
constexpr int DefaultButton1 = 0, DefaultButton2 = 256, DefaultButton3 = 512, DefaultButton4 = 768;
constexpr int ResultOk = 1, ResultCancel = 2, ResultAbort = 3, ResultRetry = 4, ResultIgnore = 5, ResultYes = 6,
              ResultNo = 7;

constexpr int kButtonsMask = 15, kIconMask = 112, kDefaultButtonMask = 768;

constexpr int buttonSet(int flags) { return flags & kButtonsMask; }
constexpr int icon(int flags) { return flags & kIconMask; }
// The default button's position in the row, from 0.
constexpr int defaultButton(int flags) { return (flags & kDefaultButtonMask) / DefaultButton2; }

} // namespace ui::mb
