#pragma once

#include <QString>

class QWidget;

namespace ui
{

// What the user wants once the memo could not be saved at close.
enum class AfterFailedSave { Retry, Elsewhere, Discard, Stay };

// Asks, with the file and the reason in report. Leaving without saving is
// confirmed first; not confirmed, it is a retry.
AfterFailedSave askAfterFailedSave(QWidget *parent, const QString &report);

} // namespace ui
