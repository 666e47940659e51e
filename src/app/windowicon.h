#pragma once

class QIcon;

namespace app
{

// The program's icon for the title bar and the task bar, from pictures made
// from packaging/soramina.svg at build time: no SVG renderer at start-up.
QIcon windowIcon();

} // namespace app
