#include "framebox.h"

#include "outline.h"

#include <QPainter>

namespace widgets
{

namespace
{
constexpr int CaptionIndent = 6; // pixels from the left edge to the caption's gap
constexpr int CaptionPadding = 2;
} // namespace

FrameBox::FrameBox(const QString &caption, QWidget *parent)
    : QWidget(parent)
    , m_caption(caption)
{
    setAutoFillBackground(true);
}

void FrameBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int lineY = metrics.height() / 2;
    // Etched: a dark line with a light one just inside it.
    const QRect outer(0, lineY, width() - 1, height() - lineY - 1);
    fillOutline(painter, outer, palette().color(QPalette::Dark));
    fillOutline(painter, outer.translated(1, 1), palette().color(QPalette::Light));

    if (m_caption.isEmpty())
        return;
    const int textWidth = metrics.horizontalAdvance(m_caption);
    const QRect gap(CaptionIndent, 0, textWidth + 2 * CaptionPadding, metrics.height());
    painter.fillRect(gap, palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(gap, Qt::AlignCenter, m_caption);
}

} // namespace widgets
