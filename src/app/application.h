#pragma once

class QObject;
class QTranslator;
class QWidget;

// What the program sets on Qt once it is up and before the window is built:
// the desktop entry it belongs to, a style that keeps image plugins out of
// start-up, and Qt's own Japanese texts.
namespace app
{

void prepareApplication();

// Qt's Japanese translation, so that the standard dialogs (files, printing,
// a message box's buttons) speak Japanese as the window does, whatever the
// desktop's language. Installed before any widget exists it is cheap, well
// under a millisecond, as the catalogue is mapped rather than read; installed
// later, every widget would be told that the language changed. Null when
// Qt's translations (qt6-translations-l10n) are not installed.
QTranslator *installQtTranslation(QObject *owner);

// Gives the window its icon once it has been painted: decoding the pictures
// costs more than building a third of the window, and a task bar takes a
// new icon at any time.
void setIconAfterFirstPaint(QWidget *window);

} // namespace app
