#pragma once

// What the program sets on Qt once it is up and before the window is built:
// the desktop entry it belongs to, its icon, and a style that keeps image
// plugins out of start-up.
namespace app
{

void prepareApplication();

} // namespace app
