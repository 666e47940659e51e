#include "alsasequencer.h"

// The plugin that keeps libasound out of the start: it loads once the window
// is on screen.
class AlsaSequencerPlugin final : public QObject, public midi::MidiTransportFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID MidiTransportFactory_iid)
    Q_INTERFACES(midi::MidiTransportFactory)
public:
    midi::MidiTransport *create(QObject *parent) override { return new AlsaSequencer(parent); }
};

#include "alsaplugin.moc"
