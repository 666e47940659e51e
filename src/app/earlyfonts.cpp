#include "earlyfonts.h"

#include <fontconfig/fontconfig.h>

namespace app
{

// FcInit may run on two threads at once: each loads a configuration and
// only one is kept, so Qt's call is safe whenever it comes.
EarlyFonts::EarlyFonts()
    : m_thread([] { FcInit(); })
{
}

EarlyFonts::~EarlyFonts()
{
    m_thread.join();
}

} // namespace app
