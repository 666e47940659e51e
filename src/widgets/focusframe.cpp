#include "focusframe.h"

#include <QKeyEvent>
#include <QPainter>

namespace widgets
{

namespace
{
constexpr int FrameInset = 2; // pixels inside the edge, clear of the lines it lies on
}

FocusFrame::FocusFrame(QWidget *parent)
    : QAbstractButton(parent)
{
    setCheckable(true);
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void FocusFrame::setFrameColour(const QColor &colour)
{
    if (colour == m_colour)
        return;
    m_colour = colour;
    update();
}

void FocusFrame::paintEvent(QPaintEvent *)
{
    if (!hasFocus())
        return;
    QPainter painter(this);
    painter.setPen(QPen(m_colour, 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(FrameInset, FrameInset, -FrameInset - 1, -FrameInset - 1));
}

void FocusFrame::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down: event->ignore(); return;
    default: QAbstractButton::keyPressEvent(event);
    }
}

} // namespace widgets
