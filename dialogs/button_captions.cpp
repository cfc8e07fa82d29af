#include "dialogs/button_captions.h"

namespace dialogs {

QString buttonCaption(int resultCode) {
    switch (resultCode) {
    case 1: return QStringLiteral("OK");
    case 2: return QStringLiteral("Zrušiť");
    case 3: return QStringLiteral("&Prerušiť");
    case 4: return QStringLiteral("&Znova");
    case 5: return QStringLiteral("&Ignorovať");
    case 6: return QStringLiteral("&Ano");
    case 7: return QStringLiteral("&Nie");
    default: return QString();
    }
}

} // namespace dialogs
