#include "shapewidget.h"

#include "outline.h"

#include <QPainter>

namespace widgets
{

ShapeWidget::ShapeWidget(Form form, QWidget *parent)
    : QWidget(parent)
    , m_form(form)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ShapeWidget::setFill(const std::optional<QColor> &fill)
{
    if (fill == m_fill)
        return;
    m_fill = fill;
    update();
}

void ShapeWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor outline = palette().color(QPalette::WindowText);
    if (m_form == Form::Rectangle) {
        if (m_fill)
            painter.fillRect(rect().adjusted(1, 1, -1, -1), *m_fill);
        fillOutline(painter, rect(), outline);
        return;
    }
    painter.setPen(QPen(outline, 1));
    painter.setBrush(m_fill ? QBrush(*m_fill) : Qt::NoBrush);
    painter.setRenderHint(QPainter::Antialiasing);
    // Half-pixel inset keeps the one-pixel outline on whole pixels.
    painter.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

} // namespace widgets
