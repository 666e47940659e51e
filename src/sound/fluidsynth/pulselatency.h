#pragma once

#include <QByteArray>

// While it lives, PulseAudio streams opened in this process ask the server
// for this much buffered sound, unless the user asked for an amount
// (PULSE_LATENCY_MSEC, libpulse's own override). FluidSynth's PulseAudio
// driver asks for one period, so that without this a buffer long enough not
// to drop out would make a note wait as long again for its period to come.
class PulseLatency
{
public:
    explicit PulseLatency(int milliseconds);
    ~PulseLatency();
    PulseLatency(const PulseLatency &) = delete;
    PulseLatency &operator=(const PulseLatency &) = delete;

private:
    bool m_set = false;
};
