#include "dialogs/twips.h"

#include <QWidget>

namespace dialogs {

ui::Twips twipsOf(const QWidget* widget) { return ui::Twips(widget->logicalDpiX(), widget->logicalDpiY()); }

QRect toPixels(const QWidget* widget, const ui::Rect& twips) {
    const ui::Rect r = twipsOf(widget).toPixels(twips);
    return QRect(r.left, r.top, r.width, r.height);
}

QFont arialFont(double points) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setWeight(QFont::Normal);
    return font;
}

} // namespace dialogs
