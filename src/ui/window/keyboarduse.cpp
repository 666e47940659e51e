#include "keyboarduse.h"

#include "clicklabel.h"

#include <QAbstractButton>
#include <QAction>
#include <QKeyEvent>
#include <QPushButton>
#include <QShortcut>

namespace ui
{

namespace
{
// A group's stop is reached by Tab and by a click; the other buttons only by
// a click or the arrow keys, as before.
constexpr Qt::FocusPolicy GroupStopPolicy = Qt::StrongFocus;
constexpr Qt::FocusPolicy GroupMemberPolicy = Qt::ClickFocus;
// Slots take no focus from the mouse, so a click leaves the focus where it was.
constexpr Qt::FocusPolicy SlotStopPolicy = Qt::TabFocus;
} // namespace

KeyboardUse::KeyboardUse(const Controls &controls, QWidget *window)
    : QObject(window)
    , m_controls(controls)
    , m_window(window)
{
    for (int g = 0; g < m_controls.optionGroups.size(); ++g) {
        const QList<QAbstractButton *> &buttons = m_controls.optionGroups[g];
        QAbstractButton *stop = buttons.first();
        for (QAbstractButton *b : buttons) {
            if (b->isChecked())
                stop = b;
            connect(b, &QAbstractButton::toggled, this, [this, g, b](bool on) {
                if (on)
                    setGroupStop(g, b);
            });
            m_mainScreen << b;
        }
        setGroupStop(g, stop);
    }
    m_mainScreen << m_controls.boxesAndButtons;

    // The slots follow the last control of the window's focus order.
    QWidget *before = m_controls.aboutBack;
    for (widgets::ClickLabel *slot : m_controls.slotLabels) {
        QWidget::setTabOrder(before, slot);
        before = slot;
        connect(slot, &widgets::ClickLabel::clicked, this, [this, slot] { setSlotStop(slot); });
        m_mainScreen << slot;
    }
    setSlotStop(m_controls.slotLabels.first());
    QWidget::setTabOrder(before, m_controls.keyboard);
    m_mainScreen << m_controls.keyboard;

    for (QWidget *w : std::as_const(m_mainScreen))
        w->installEventFilter(this);
    m_controls.aboutBack->installEventFilter(this);

    m_controls.aboutPanel->hide();
    connect(m_controls.aboutOpen, &QAction::triggered, this, &KeyboardUse::followAboutPanel);
    connect(m_controls.aboutBack, &QPushButton::clicked, this, &KeyboardUse::followAboutPanel);
    new QShortcut(QKeySequence(Qt::Key_Escape), m_controls.aboutPanel, m_controls.aboutBack,
        &QPushButton::click, Qt::WidgetWithChildrenShortcut);
}

void KeyboardUse::setGroupStop(int group, QAbstractButton *stop)
{
    for (QAbstractButton *b : std::as_const(m_controls.optionGroups[group]))
        b->setFocusPolicy(b == stop ? GroupStopPolicy : GroupMemberPolicy);
}

void KeyboardUse::setSlotStop(widgets::ClickLabel *stop)
{
    for (widgets::ClickLabel *slot : std::as_const(m_controls.slotLabels))
        slot->setFocusPolicy(slot == stop ? SlotStopPolicy : Qt::NoFocus);
}

bool KeyboardUse::moveInGrid(int from, int key)
{
    const int columns = m_controls.slotColumns;
    const int count = int(m_controls.slotLabels.size());
    int to = from;
    switch (key) {
    case Qt::Key_Left: to = from % columns == 0 ? from : from - 1; break;
    case Qt::Key_Right: to = from % columns == columns - 1 ? from : from + 1; break;
    case Qt::Key_Up: to = from - columns >= 0 ? from - columns : from; break;
    case Qt::Key_Down: to = from + columns < count ? from + columns : from; break;
    default: return false;
    }
    widgets::ClickLabel *target = m_controls.slotLabels[to];
    setSlotStop(target);
    target->setFocus(Qt::TabFocusReason);
    return true;
}

bool KeyboardUse::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        auto *widget = static_cast<QWidget *>(watched);
        for (int g = 0; g < m_controls.optionGroups.size(); ++g) {
            auto *button = qobject_cast<QAbstractButton *>(widget);
            if (button && m_controls.optionGroups[g].contains(button))
                setGroupStop(g, button);
        }
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;

    // Qt marks the focus only once it has moved by keyboard; any key counts here.
    if (!m_window->testAttribute(Qt::WA_KeyboardFocusChange)) {
        m_window->setAttribute(Qt::WA_KeyboardFocusChange);
        if (QWidget *focus = m_window->focusWidget())
            focus->update();
    }
    const auto *key = static_cast<QKeyEvent *>(event);
    const int slot = int(m_controls.slotLabels.indexOf(watched));
    if (slot >= 0 && key->modifiers() == Qt::NoModifier)
        return moveInGrid(slot, key->key());
    return false;
}

// The window's own handlers have moved the panel; this shows or hides it to
// match and moves the focus in or back out.
void KeyboardUse::followAboutPanel()
{
    QWidget *panel = m_controls.aboutPanel;
    const bool open = panel->geometry().intersects(panel->parentWidget()->rect());
    if (open == panel->isVisible())
        return;
    if (open) {
        m_focusBeforeAbout = m_window->focusWidget();
        panel->show();
        m_controls.aboutBack->setFocus(Qt::OtherFocusReason);
        for (QWidget *w : std::as_const(m_mainScreen))
            w->setEnabled(false);
        return;
    }
    for (QWidget *w : std::as_const(m_mainScreen))
        w->setEnabled(true);
    panel->hide();
    if (m_focusBeforeAbout)
        m_focusBeforeAbout->setFocus(Qt::OtherFocusReason);
}

} // namespace ui
