#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QAbstractButton;
class QAction;
class QPushButton;
class QWidget;

namespace widgets
{
class ClickLabel;
}

namespace ui
{

// What a user without a mouse needs beyond Qt's own focus handling:
// - each group of option buttons is one Tab stop, entered at its selected
//   button; the arrow keys move and select within it, as Qt does;
// - the memo slots are one Tab stop after the view button; the arrow keys
//   move among them as the grid lies, Space or Enter selects as a click does;
// - the drawn keyboard is the last stop, after the memo;
// - the About panel is hidden while parked, so neither Tab nor its access key
//   reaches it; open, it holds the focus until Esc or its back button closes
//   it, and the focus goes back where it was;
// - the focus is marked from the first key press on.
class KeyboardUse : public QObject
{
    Q_OBJECT
public:
    struct Controls {
        QList<QList<QAbstractButton *>> optionGroups;
        QList<QWidget *> boxesAndButtons; // the other controls of the main screen
        QList<widgets::ClickLabel *> slotLabels; // the shown slots, row by row
        int slotColumns = 1;
        QWidget *keyboard = nullptr;
        QWidget *aboutPanel = nullptr;
        QPushButton *aboutBack = nullptr;
        QAction *aboutOpen = nullptr;
    };

    // Call after the window's own handlers are connected: the About panel is
    // followed once those have moved it.
    KeyboardUse(const Controls &controls, QWidget *window);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setGroupStop(int group, QAbstractButton *stop);
    void setSlotStop(widgets::ClickLabel *stop);
    bool moveInGrid(int from, int key);
    void followAboutPanel();

    Controls m_controls;
    QWidget *m_window;
    QList<QWidget *> m_mainScreen; // everything the open About panel covers and holds off
    QPointer<QWidget> m_focusBeforeAbout;
};

} // namespace ui
