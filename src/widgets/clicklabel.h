#pragma once

#include <QLabel>

namespace widgets
{

// A label that reports a click: a press and a release inside it, or Space
// or Enter while it holds the keyboard focus. It takes the focus only as its
// focus policy allows (none by default); with the focus it shows a dotted
// mark inside its edge that leaves its colours as they are. A press that
// moves further than the desktop's drag distance is a drag, not a click:
// its release reports where it was let go, and whether Ctrl was held.
// A one-line plain text too long for it shows cut short with "…"; text()
// stays whole, and so does its tooltip, above the tooltip's own lines.
class ClickLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ClickLabel(QWidget *parent = nullptr);

    // Reports a click, as a press and release of the mouse would.
    void click();

    // The text as it shows: whole when it fits, else cut short with "…".
    QString shownText() const;

signals:
    void clicked();
    void dropped(const QPoint &globalPos, bool copy);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;

private:
    QRect textRect() const;

    bool m_pressed = false;
    bool m_dragging = false;
    QPoint m_pressedAt;
};

} // namespace widgets
