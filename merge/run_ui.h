// How an import run reaches its user. The window, the command-line tool and
// the tests each implement it.
#pragma once

#include <string>

#include "ui/msg_box_flags.h"

namespace merge {

// Message flags and results are those of the boxes that show them.
namespace mb = ui::mb;

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
