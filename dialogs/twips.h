// Dialog lengths are kept in twips (1/1440 inch) and turned into pixels with
// the screen's logical resolution: 15 twips are one pixel at 96 dpi.
#pragma once

#include <QFont>
#include <QRect>

class QWidget;

namespace dialogs {

class Twips {
public:
    explicit Twips(const QWidget* widget); // the logical dpi of the widget's screen
    Twips(double dpiX, double dpiY) : dpiX_(dpiX), dpiY_(dpiY) {}

    int toPixelsX(int twips) const;
    int toPixelsY(int twips) const;
    int fromPixelsX(int pixels) const;
    int fromPixelsY(int pixels) const;
    QRect toPixels(int left, int top, int width, int height) const;

private:
    double dpiX_, dpiY_;
};

// Arial at the given size (Liberation Sans stands in where Arial is missing).
QFont arialFont(double points);

} // namespace dialogs
