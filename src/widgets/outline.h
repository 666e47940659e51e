#pragma once

class QColor;
class QPainter;
class QPoint;
class QRect;

// One-pixel lines filled as whole logical pixels, not stroked. At a
// fractional scale a stroked line straddles its pixel: half of it falls
// outside the widget, where it is clipped, or onto a neighbour, whose ground
// then hides it. A filled pixel covers the device pixels that Qt gives the
// same pixel of any widget, its own edge and a neighbour's ground alike.
namespace widgets
{

// A level or upright line, both end points included.
void fillLine(QPainter &painter, const QPoint &from, const QPoint &to, const QColor &colour);

// The outermost pixels of the rectangle.
void fillOutline(QPainter &painter, const QRect &rect, const QColor &colour);

} // namespace widgets
