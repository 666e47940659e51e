#include "shapewidget.h"

#include <QPainter>

namespace platform
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
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
    painter.setBrush(m_fill ? QBrush(*m_fill) : Qt::NoBrush);
    // Half-pixel inset keeps the one-pixel outline on whole pixels.
    const QRectF outline = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (m_form == Form::Circle)
        painter.drawEllipse(outline);
    else
        painter.drawRect(outline);
}

} // namespace platform
