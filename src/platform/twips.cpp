#include "twips.h"

#include <QVariant>
#include <QWidget>

namespace platform
{

namespace
{
constexpr char GeometryProperty[] = "twipsGeometry";
}

QRect pixelRect(const TwipsRect &r)
{
    const int left = twipsToPixels(r.left);
    const int top = twipsToPixels(r.top);
    return QRect(
        left, top, twipsToPixels(r.left + r.width) - left, twipsToPixels(r.top + r.height) - top);
}

void placeInTwips(QWidget *widget, const TwipsRect &r)
{
    widget->setProperty(GeometryProperty, QRect(r.left, r.top, r.width, r.height));
    widget->setGeometry(pixelRect(r));
}

void moveInTwips(QWidget *widget, int left, int top)
{
    TwipsRect r = twipsGeometry(widget);
    if (r.left == left && r.top == top)
        return;
    r.left = left;
    r.top = top;
    placeInTwips(widget, r);
}

void setTopInTwips(QWidget *widget, int top)
{
    moveInTwips(widget, twipsGeometry(widget).left, top);
}

TwipsRect twipsGeometry(const QWidget *widget)
{
    const QRect r = widget->property(GeometryProperty).toRect();
    return {r.x(), r.y(), r.width(), r.height()};
}

} // namespace platform
