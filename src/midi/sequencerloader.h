#pragma once

#include <QString>

class QObject;

namespace midi
{

class MidiTransport;

inline constexpr auto ClientName = "Soramina";

// Loads the sequencer plugin on first use, so its library stays out of the
// program's start. Nothing, with the reason, when the plugin cannot load.
struct LoadedTransport {
    MidiTransport *transport = nullptr; // owned by the parent given
    QString error;
};
LoadedTransport loadSequencer(const QString &clientName, QObject *parent);

} // namespace midi
