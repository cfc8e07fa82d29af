#include "dialogs/button_captions.h"

#include "dialogs/msg_box_flags.h"

namespace dialogs {

QString buttonCaption(int resultCode) {
    switch (resultCode) {
    case mb::ResultOk: return QStringLiteral("OK");
    case mb::ResultCancel: return QStringLiteral("Zrušiť");
    case mb::ResultAbort: return QStringLiteral("&Prerušiť");
    case mb::ResultRetry: return QStringLiteral("&Znova");
    case mb::ResultIgnore: return QStringLiteral("&Ignorovať");
    case mb::ResultYes: return QStringLiteral("&Ano");
    case mb::ResultNo: return QStringLiteral("&Nie");
    default: return QString();
    }
}

} // namespace dialogs
