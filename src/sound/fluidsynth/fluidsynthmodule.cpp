#include "fluidsynthmodule.h"
#include "fluidsynthoutput.h"

#include <QLoggingCategory>

#include <alsa/asoundlib.h>

#include <cstdarg>
#include <cstdio>

namespace
{
Q_LOGGING_CATEGORY(lcSynth, "soramina.sound", QtWarningMsg)

// A burst of these comes when no audio server answers; our log is silent
// unless asked for (QT_LOGGING_RULES="soramina.sound.debug=true").
void synthLog(int level, const char *message, void *)
{
    qCDebug(lcSynth, "fluidsynth(%d): %s", level, message);
}

void alsaLog(const char *file, int line, const char *function, int err, const char *format, ...)
{
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    qCDebug(lcSynth, "alsa %s:%d %s (%d): %s", file, line, function, err, text);
}
} // namespace

// Both handlers are the whole process's: set here, once, before any output
// opens, never again.
FluidSynthModule::FluidSynthModule()
{
    for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
        fluid_set_log_function(level, synthLog, nullptr);
    snd_lib_error_set_handler(alsaLog);
}

std::unique_ptr<sound::SoundOutput> FluidSynthModule::createOutput()
{
    return std::make_unique<FluidSynthOutput>();
}
