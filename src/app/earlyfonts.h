#pragma once

#include <thread>

// The window's first text waits for fontconfig to read its configuration and
// every font's description, the largest part of building the window. That
// work needs nothing of Qt, so it starts on a thread of its own before Qt
// does and runs while Qt comes up; Qt's own call then finds it done (or
// takes the result as soon as it is).
namespace app
{

class EarlyFonts
{
public:
    EarlyFonts();
    ~EarlyFonts(); // waits for the thread, long done by then
    EarlyFonts(const EarlyFonts &) = delete;
    EarlyFonts &operator=(const EarlyFonts &) = delete;

private:
    std::thread m_thread;
};

} // namespace app
