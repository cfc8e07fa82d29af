#include "ui/geometry.h"

#include <cmath>

namespace ui {

namespace {
constexpr double kTwipsPerInch = 1440.0;

int roundEven(double value) { return static_cast<int>(std::nearbyint(value)); }
} // namespace

int Twips::toPixelsX(int twips) const { return roundEven(twips * dpiX_ / kTwipsPerInch); }
int Twips::toPixelsY(int twips) const { return roundEven(twips * dpiY_ / kTwipsPerInch); }
int Twips::fromPixelsX(int pixels) const { return roundEven(pixels * kTwipsPerInch / dpiX_); }
int Twips::fromPixelsY(int pixels) const { return roundEven(pixels * kTwipsPerInch / dpiY_); }

Rect Twips::toPixels(const Rect& twips) const {
    return {toPixelsX(twips.left), toPixelsY(twips.top), toPixelsX(twips.width), toPixelsY(twips.height)};
}

int Twips::fontPixels(double points) const { return roundEven(points * kTwipsPerPoint * dpiY_ / kTwipsPerInch); }

Point centredOrigin(const Rect& screen, int outerWidth, int outerHeight) {
    return {screen.left + (screen.width - outerWidth) / 2, screen.top + (screen.height - outerHeight) / 2};
}

Point bottomRightOrigin(int clientWidth, int clientHeight, int labelWidth, int labelHeight) {
    return {clientWidth - labelWidth, clientHeight - labelHeight};
}

} // namespace ui
