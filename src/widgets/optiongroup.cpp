#include "optiongroup.h"

#include <QAbstractButton>
#include <QButtonGroup>

namespace widgets
{

void selectOnly(QButtonGroup *group, std::optional<int> id)
{
    if (QAbstractButton *button = id ? group->button(*id) : nullptr) {
        button->setChecked(true);
        return;
    }
    QAbstractButton *checked = group->checkedButton();
    if (!checked)
        return;
    // An exclusive group keeps its checked button checked.
    group->setExclusive(false);
    checked->setChecked(false);
    group->setExclusive(true);
}

} // namespace widgets
