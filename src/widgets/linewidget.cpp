#include "linewidget.h"

#include "outline.h"
#include "twips.h"

#include <QPainter>

#include <algorithm>

namespace widgets
{

LineWidget::LineWidget(int x1, int y1, int x2, int y2, QWidget *parent)
    : QWidget(parent)
    , m_twips(x1, y1, x2, y2)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    const QPoint a(twipsToPixels(x1), twipsToPixels(y1));
    const QPoint b(twipsToPixels(x2), twipsToPixels(y2));
    const QPoint origin(std::min(a.x(), b.x()), std::min(a.y(), b.y()));
    m_from = a - origin;
    m_to = b - origin;
    // The widget spans the line's pixels, both end points included.
    placeInTwips(this,
        {std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1) + TwipsPerPixel,
            std::abs(y2 - y1) + TwipsPerPixel});
}

void LineWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor colour = palette().color(QPalette::WindowText);
    // A level or upright line lies on whole pixels as it is; only a slanted
    // one needs smoothing, which costs far more to draw.
    if (m_from.x() == m_to.x() || m_from.y() == m_to.y()) {
        fillLine(painter, m_from, m_to, colour);
        return;
    }
    painter.setPen(QPen(colour, 1));
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF half(0.5, 0.5);
    painter.drawLine(QPointF(m_from) + half, QPointF(m_to) + half);
}

} // namespace widgets
