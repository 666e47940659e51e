#include "alsasequencer.h"

// The plugin that brings libasound in only when MIDI is first used.
class AlsaSequencerPlugin final : public QObject, public midi::MidiTransportFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID MidiTransportFactory_iid)
    Q_INTERFACES(midi::MidiTransportFactory)
public:
    midi::MidiTransport *create(const QString &clientName, QObject *parent) override
    {
        return new AlsaSequencer(clientName, parent);
    }
};

#include "alsaplugin.moc"
