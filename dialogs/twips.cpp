#include "dialogs/twips.h"

#include <QWidget>
#include <cmath>

namespace dialogs {

namespace {
constexpr double kTwipsPerInch = 1440.0;

// Lengths are rounded to the nearest whole number, halves to the even one.
int roundEven(double value) { return static_cast<int>(std::nearbyint(value)); }
} // namespace

Twips::Twips(const QWidget* widget) : Twips(widget->logicalDpiX(), widget->logicalDpiY()) {}

int Twips::toPixelsX(int twips) const { return roundEven(twips * dpiX_ / kTwipsPerInch); }
int Twips::toPixelsY(int twips) const { return roundEven(twips * dpiY_ / kTwipsPerInch); }
int Twips::fromPixelsX(int pixels) const { return roundEven(pixels * kTwipsPerInch / dpiX_); }
int Twips::fromPixelsY(int pixels) const { return roundEven(pixels * kTwipsPerInch / dpiY_); }

QRect Twips::toPixels(int left, int top, int width, int height) const {
    return QRect(toPixelsX(left), toPixelsY(top), toPixelsX(width), toPixelsY(height));
}

QFont arialFont(double points) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setWeight(QFont::Normal);
    return font;
}

} // namespace dialogs
