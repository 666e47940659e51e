#include "twips.h"

#include <QHash>
#include <QWidget>

namespace widgets
{

namespace
{
// Each placed widget's twips, until it is destroyed. Kept beside the widgets,
// not in a dynamic property: a chord shown moves five of them, and a property
// is found by name through every property of its class first. Never freed,
// so that a widget destroyed at exit still finds it.
QHash<const QWidget *, TwipsRect> &placed()
{
    static auto *table = new QHash<const QWidget *, TwipsRect>;
    return *table;
}
} // namespace

QRect pixelRect(const TwipsRect &r)
{
    const int left = twipsToPixels(r.left);
    const int top = twipsToPixels(r.top);
    return QRect(
        left, top, twipsToPixels(r.left + r.width) - left, twipsToPixels(r.top + r.height) - top);
}

void placeInTwips(QWidget *widget, const TwipsRect &r)
{
    auto &table = placed();
    if (const auto it = table.find(widget); it != table.end()) {
        *it = r;
    } else {
        table.insert(widget, r);
        QObject::connect(widget, &QObject::destroyed, [widget] { placed().remove(widget); });
    }
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
    return placed().value(widget);
}

} // namespace widgets
