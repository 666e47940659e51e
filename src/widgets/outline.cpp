#include "outline.h"

#include <QPainter>

#include <algorithm>

namespace widgets
{

void fillLine(QPainter &painter, const QPoint &from, const QPoint &to, const QColor &colour)
{
    const QPoint topLeft(std::min(from.x(), to.x()), std::min(from.y(), to.y()));
    const QPoint bottomRight(std::max(from.x(), to.x()), std::max(from.y(), to.y()));
    painter.fillRect(QRect(topLeft, bottomRight), colour);
}

void fillOutline(QPainter &painter, const QRect &rect, const QColor &colour)
{
    fillLine(painter, rect.topLeft(), rect.topRight(), colour);
    fillLine(painter, rect.bottomLeft(), rect.bottomRight(), colour);
    fillLine(painter, rect.topLeft(), rect.bottomLeft(), colour);
    fillLine(painter, rect.topRight(), rect.bottomRight(), colour);
}

} // namespace widgets
