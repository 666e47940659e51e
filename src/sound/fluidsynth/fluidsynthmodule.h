#pragma once

#include "soundoutput.h"

#include <QObject>

// The plugin's root object: makes FluidSynth outputs. Made once a process,
// on the thread that loads the module, it sends FluidSynth's and ALSA's
// messages to the program's own log from then on.
class FluidSynthModule : public QObject, public sound::SoundModule
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID SoraminaSoundModule_iid)
    Q_INTERFACES(sound::SoundModule)
public:
    FluidSynthModule();
    std::unique_ptr<sound::SoundOutput> createOutput() override;
};
