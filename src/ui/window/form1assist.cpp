#include "form1.h"
#include "form1layout.h"

#include "clicklabel.h"
#include "form1access.h"
#include "keyboardpick.h"
#include "keyboarduse.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace ui::layout;

namespace
{
template<std::size_t N> QList<QAbstractButton *> buttonList(const std::array<QRadioButton *, N> &a)
{
    return {a.begin(), a.end()};
}
} // namespace

// Keyboard use and assistive technology, set up once the controls and the
// window's own handlers are in place.
void Form1::buildAssistance()
{
    const QList<widgets::ClickLabel *> shownSlots(lblslot.begin(), lblslot.begin() + ShownSlots);

    ui::KeyboardUse::Controls keys;
    keys.optionGroups = {buttonList(opcode1), buttonList(opcode2)};
    keys.boxesAndButtons = {txtcode1, txtcode2, cmdview};
    keys.slotLabels = shownSlots;
    keys.slotColumns = SlotColumns;
    keys.keyboard = m_keyboard;
    keys.aboutPanel = frameabout;
    keys.aboutBack = cmdreturn;
    keys.aboutOpen = about;
    new ui::KeyboardUse(keys, this);

    ui::Form1Access::Controls access;
    access.rootBox = txtcode1;
    access.kindBox = txtcode2;
    access.rootGroup = m_rootFrame;
    access.kindGroup = m_kindFrame;
    access.majorButton = opcode2[0];
    access.aboutPanel = frameabout;
    access.keyboard = m_keyboard;
    access.errorLabel = lblerror;
    access.slotLabels = shownSlots;
    m_access = new ui::Form1Access(access, this);
    connect(m_keys, &ui::KeyboardPick::namesLineChanged, m_access, &ui::Form1Access::describePick);
}
