#include "pulselatency.h"

#include <QtGlobal>

namespace
{
constexpr char Variable[] = "PULSE_LATENCY_MSEC";
} // namespace

PulseLatency::PulseLatency(int milliseconds)
{
    if (qEnvironmentVariableIsSet(Variable))
        return;
    m_set = qputenv(Variable, QByteArray::number(milliseconds));
}

// libpulse reads it as a stream connects: once the driver is open, the
// process's environment is as it was.
PulseLatency::~PulseLatency()
{
    if (m_set)
        qunsetenv(Variable);
}
