// Twips on a Qt screen: the widget's logical resolution, and Qt's rectangles.
#pragma once

#include <QFont>
#include <QRect>

#include "ui/geometry.h"

class QWidget;

namespace dialogs {

// Twips at the logical dpi of the widget's screen.
ui::Twips twipsOf(const QWidget* widget);

// `twips` in pixels at the widget's dpi.
QRect toPixels(const QWidget* widget, const ui::Rect& twips);

// Arial at the given size (Liberation Sans stands in where Arial is missing).
QFont arialFont(double points);

} // namespace dialogs
