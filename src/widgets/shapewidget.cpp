#include "shapewidget.h"

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
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
    painter.setBrush(m_fill ? QBrush(*m_fill) : Qt::NoBrush);
    if (m_form == Form::Rectangle) {
        // On whole pixels already: smoothing would cost time and change nothing.
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    // Half-pixel inset keeps the one-pixel outline on whole pixels.
    painter.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

} // namespace widgets
