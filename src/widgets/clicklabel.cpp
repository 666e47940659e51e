#include "clicklabel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace widgets
{

namespace
{
constexpr int FocusMarkInset = 2; // pixels inside the edge, clear of a one-pixel border
}

ClickLabel::ClickLabel(QWidget *parent)
    : QLabel(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void ClickLabel::click()
{
    emit clicked();
}

void ClickLabel::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    m_dragging = false;
    m_pressedAt = event->position().toPoint();
    event->accept();
}

void ClickLabel::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_pressed || m_dragging)
        return;
    const QPoint moved = event->position().toPoint() - m_pressedAt;
    if (moved.manhattanLength() < QApplication::startDragDistance())
        return;
    m_dragging = true;
    setCursor(Qt::DragMoveCursor);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool left = m_pressed && event->button() == Qt::LeftButton;
    const bool inside = rect().contains(event->position().toPoint());
    if (left && m_dragging)
        emit dropped(
            event->globalPosition().toPoint(), event->modifiers().testFlag(Qt::ControlModifier));
    else if (left && inside)
        emit clicked();
    if (m_dragging)
        unsetCursor();
    m_pressed = false;
    m_dragging = false;
    event->accept();
}

void ClickLabel::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
            click();
            return;
        }
        break;
    default: break;
    }
    QLabel::keyPressEvent(event);
}

// Dotted in the text colour, so it shows on any background the label is given.
void ClickLabel::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    painter.setPen(QPen(palette().color(foregroundRole()), 1, Qt::DotLine));
    painter.drawRect(
        rect().adjusted(FocusMarkInset, FocusMarkInset, -FocusMarkInset - 1, -FocusMarkInset - 1));
}

} // namespace widgets
