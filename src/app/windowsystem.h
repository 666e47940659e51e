#pragma once

#include <QString>

// Qt ends a program with a core dump when no window system can be reached,
// say without DISPLAY in a terminal or CI job. While one QApplication is
// built, this turns that into one line on stderr and exit status 1; Qt's
// other messages of that moment pass on unchanged once it is built.
namespace app
{

class WindowSystemGuard
{
public:
    explicit WindowSystemGuard(const QString &program);
    ~WindowSystemGuard();
    WindowSystemGuard(const WindowSystemGuard &) = delete;
    WindowSystemGuard &operator=(const WindowSystemGuard &) = delete;
};

} // namespace app
