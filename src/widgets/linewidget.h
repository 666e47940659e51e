#pragma once

#include <QWidget>

namespace widgets
{

// A straight line one pixel wide in the window-text colour. It covers the
// pixels of the line and nothing more, and lets clicks through.
class LineWidget : public QWidget
{
    Q_OBJECT
public:
    // End points in twips, relative to the parent.
    LineWidget(int x1, int y1, int x2, int y2, QWidget *parent = nullptr);

    // End points as given, in twips.
    QLine twipsLine() const { return m_twips; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLine m_twips;
    QPoint m_from; // in pixels, relative to this widget
    QPoint m_to;
};

} // namespace widgets
