#pragma once

#include "soundoutput.h"

#include <QObject>

// The plugin's root object: makes FluidSynth outputs.
class FluidSynthModule : public QObject, public sound::SoundModule
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID SoraminaSoundModule_iid)
    Q_INTERFACES(sound::SoundModule)
public:
    std::unique_ptr<sound::SoundOutput> createOutput() override;
};
