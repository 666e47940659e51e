#include "clicklabel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

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

// Where QLabel lays out its text: inside the frame and the margin, and
// indented from the aligned edges, by half an "x" when it has a frame and
// no indent of its own.
QRect ClickLabel::textRect() const
{
    QRect r = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    int shift = indent();
    if (shift < 0 && frameWidth())
        shift = fontMetrics().horizontalAdvance(u'x') / 2 - margin();
    if (shift <= 0)
        return r;
    const Qt::Alignment align = QStyle::visualAlignment(layoutDirection(), alignment());
    if (align & Qt::AlignLeft)
        r.setLeft(r.left() + shift);
    if (align & Qt::AlignRight)
        r.setRight(r.right() - shift);
    if (align & Qt::AlignTop)
        r.setTop(r.top() + shift);
    if (align & Qt::AlignBottom)
        r.setBottom(r.bottom() - shift);
    return r;
}

QString ClickLabel::shownText() const
{
    if (textFormat() != Qt::PlainText || wordWrap())
        return text();
    return fontMetrics().elidedText(text(), Qt::ElideRight, textRect().width());
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
    const QString shown = shownText();
    if (shown == text()) {
        QLabel::paintEvent(event);
    } else {
        QFrame::paintEvent(event);
        QPainter painter(this);
        style()->drawItemText(&painter, textRect(),
            int(QStyle::visualAlignment(layoutDirection(), alignment())), palette(), isEnabled(),
            shown, foregroundRole());
    }
    if (!hasFocus())
        return;
    QPainter painter(this);
    painter.setPen(QPen(palette().color(foregroundRole()), 1, Qt::DotLine));
    painter.drawRect(
        rect().adjusted(FocusMarkInset, FocusMarkInset, -FocusMarkInset - 1, -FocusMarkInset - 1));
}

bool ClickLabel::event(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QLabel::event(event);
    QStringList lines;
    if (shownText() != text())
        lines << text();
    if (!toolTip().isEmpty())
        lines << toolTip();
    if (lines.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(
            static_cast<QHelpEvent *>(event)->globalPos(), lines.join(u'\n'), this, rect());
    return true;
}

} // namespace widgets
