#pragma once

#include <QKeySequence>
#include <QLineEdit>

namespace widgets
{

// A one-line text box. It holds texts of any length, so a long memo entry
// survives a round trip through it, and it never takes a line break, not
// even from a paste: a chord text must stay on its line of the slot file.
// It keeps no undo of its own: what is typed is part of the window's history,
// and the window's edit keys act wherever the focus is.
class TextBox : public QLineEdit
{
    Q_OBJECT
public:
    explicit TextBox(QWidget *parent = nullptr);

    // Keys that reach the window's own actions even while the box has the
    // focus, instead of editing the box's text; each call adds to them.
    void leaveToWindow(const QList<QKeySequence> &keys) { m_windowKeys += keys; }

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    bool isWindowKey(const QKeyEvent *event) const;

    QList<QKeySequence> m_windowKeys;
};

} // namespace widgets
