#pragma once

#include <QAbstractButton>
#include <QColor>

namespace widgets
{

// A checkable button that draws nothing but, while it holds the focus, a
// dotted frame inside its edge: a cursor over a drawing whose parts are not
// controls. It takes the focus by Tab only and lets the mouse pass through
// to what lies behind it; Space clicks it, as any button. The arrow keys
// are left to whoever moves it: they do not move the focus on, as a
// button's do.
class FocusFrame : public QAbstractButton
{
    Q_OBJECT
public:
    explicit FocusFrame(QWidget *parent = nullptr);

    void setFrameColour(const QColor &colour);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QColor m_colour = Qt::black;
};

} // namespace widgets
