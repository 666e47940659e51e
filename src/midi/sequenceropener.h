#pragma once

#include "pluginloader.h"

#include <QString>

#include <functional>

class QObject;

namespace midi
{

class MidiTransport;

inline constexpr auto ClientName = "Soramina";

// A transport, or why there is none.
struct OpenedTransport {
    MidiTransport *transport = nullptr; // owned by the parent given
    QString error;
};
using TransportReady = std::function<void(OpenedTransport)>;

// The sequencer plugin, where every plugin of the program is looked for.
services::PluginLoader sequencerPlugin();

// Brings the plugin's transport up as clientName without the calling thread
// ever waiting on it: the plugin's library loads and the client joins the
// sequencer on a worker thread, while the plugin's root object and the
// transport are made on the calling thread, which owns them; ready() runs
// there at the end. Should parent go first, the worker is waited for and
// ready() never runs.
void openSequencer(const QString &clientName, QObject *parent, TransportReady ready,
    const services::PluginLoader &plugin = sequencerPlugin());

} // namespace midi
