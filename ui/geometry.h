// Dialog lengths are kept in twips (1/1440 inch) and turned into pixels with
// the screen's resolution: 15 twips are one pixel at 96 dpi.
#pragma once

namespace ui {

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Point {
    int x = 0, y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

inline constexpr int kTwipsPerPoint = 20;

class Twips {
public:
    Twips(double dpiX, double dpiY) : dpiX_(dpiX), dpiY_(dpiY) {}
    explicit Twips(double dpi) : Twips(dpi, dpi) {}

    // Lengths are rounded to the nearest whole pixel or twip, halves to the even one.
    int toPixelsX(int twips) const;
    int toPixelsY(int twips) const;
    int fromPixelsX(int pixels) const;
    int fromPixelsY(int pixels) const;
    Rect toPixels(const Rect& twips) const;
    // The height in pixels of a font of `points` points.
    int fontPixels(double points) const;

private:
    double dpiX_, dpiY_;
};

// Where a window of the given outer size goes to stand in the middle of
// `screen`: the leftover width and height halved, the fraction dropped.
Point centredOrigin(const Rect& screen, int outerWidth, int outerHeight);

// Where a label of the given size goes to sit in the bottom-right corner of a
// client area of the given size.
Point bottomRightOrigin(int clientWidth, int clientHeight, int labelWidth, int labelHeight);

} // namespace ui
