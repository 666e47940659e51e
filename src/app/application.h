#pragma once

class QWidget;

// What the program sets on Qt once it is up and before the window is built:
// the desktop entry it belongs to and a style that keeps image plugins out of
// start-up.
namespace app
{

void prepareApplication();

// Gives the window its icon once it has been painted: decoding the pictures
// costs more than building a third of the window, and a task bar takes a
// new icon at any time.
void setIconAfterFirstPaint(QWidget *window);

} // namespace app
