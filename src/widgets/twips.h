#pragma once

#include <QRect>

class QWidget;

// Every control is placed in twips, the unit the window's layout is drawn in.
// 15 twips make one logical pixel; Qt's high-DPI scaling does the rest.
namespace widgets
{

inline constexpr int TwipsPerPixel = 15;

struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const TwipsRect &, const TwipsRect &) = default;
};

// Nearest whole pixel, halves away from zero, for negative positions too.
constexpr int twipsToPixels(int twips) noexcept
{
    const int half = TwipsPerPixel / 2;
    return twips >= 0 ? (twips + half) / TwipsPerPixel : -((-twips + half) / TwipsPerPixel);
}

// Edges are rounded, not sizes, so that controls which share an edge in
// twips share it in pixels too.
QRect pixelRect(const TwipsRect &r);

// Places a widget and remembers its twips geometry, which the program reads
// back (a marker's Left) exactly, free of rounding.
void placeInTwips(QWidget *widget, const TwipsRect &r);
void moveInTwips(QWidget *widget, int left, int top);
void setTopInTwips(QWidget *widget, int top);
TwipsRect twipsGeometry(const QWidget *widget);

} // namespace widgets
