// How an import run reaches its user. The window, the command-line tool and
// the tests each implement it.
#pragma once

#include <string>

namespace merge {

// Standard message-box flags and results (the usual Windows values).
namespace mb {
constexpr int OkOnly = 0, OkCancel = 1, AbortRetryIgnore = 2, YesNoCancel = 3, YesNo = 4, RetryCancel = 5;
constexpr int Critical = 16, Question = 32, Exclamation = 48, Information = 64;
constexpr int DefaultButton1 = 0, DefaultButton2 = 256, DefaultButton3 = 512, DefaultButton4 = 768;
constexpr int ResultOk = 1, ResultCancel = 2, ResultAbort = 3, ResultRetry = 4, ResultIgnore = 5,
              ResultYes = 6, ResultNo = 7;
} // namespace mb

class RunUi {
public:
    virtual ~RunUi() = default;
    // The standard message box (application title, icon and buttons from the
    // flags); returns the result code of the button chosen.
    virtual int showMessage(const std::string& text, int flags) = 0;
    virtual void focusTarget() = 0;
    virtual void focusSource() = 0;
    // Caption of the progress label; shown at once.
    virtual void setProgress(const std::string& caption) = 0;
    // The run's outcome, through the timed message box (25 s).
    virtual void showOutcome(const std::string& text, int flags) = 0;
};

} // namespace merge
