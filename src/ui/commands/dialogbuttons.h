#pragma once

#include <QDialogButtonBox>

class QDialog;

namespace ui
{

// OK and キャンセル for a dialog, accepting and rejecting it: the window's
// questions all say キャンセル in Japanese, whatever Qt's translations hold.
QDialogButtonBox *okCancelButtons(QDialog *dialog);

} // namespace ui
