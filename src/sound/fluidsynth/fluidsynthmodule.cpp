#include "fluidsynthmodule.h"
#include "fluidsynthoutput.h"

std::unique_ptr<sound::SoundOutput> FluidSynthModule::createOutput()
{
    return std::make_unique<FluidSynthOutput>();
}
