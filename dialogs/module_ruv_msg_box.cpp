#include "dialogs/module_ruv_msg_box.h"

#include "dialogs/frm_ruv_msg_box.h"

namespace dialogs {

int ShowMsgBox(const QString& text, int buttons) {
    frmRuvMsgBox box;
    return box.Ukaz(text, buttons, kShowMsgBoxTimeoutSec);
}

} // namespace dialogs
