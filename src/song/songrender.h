#pragma once

#include "pluginloader.h"
#include "song.h"
#include "soundloader.h"

#include <QByteArray>

#include <functional>
#include <span>
#include <vector>

namespace song
{

// Takes the rendered frames piece by piece, in order.
using FrameSink = std::function<void(std::span<const float> left, std::span<const float> right)>;

// The frames a song renders to: its bars, then a second for the last notes
// to ring out.
std::size_t songFrames(const Song &song, int sampleRate);

// The song played through a fresh sound output opened on Target::Buffer,
// with a General MIDI program: each known chord struck on its bar line and
// let go at the bar's end, each as near its frame as the output's frame grid
// allows.
void renderSong(const Song &song, int program, sound::SoundOutput &output, const FrameSink &sink);

struct Audio {
    int sampleRate = 0;
    std::vector<float> left;
    std::vector<float> right;
};
Audio renderSong(const Song &song, int program, sound::SoundOutput &output);

struct Rendered {
    QByteArray wav; // empty on failure
    QString error; // why nothing could be rendered, for the user
};

// The longest song made a WAV file, which is made whole in memory: an hour
// is 635 MB.
inline constexpr int MaxWavMinutes = 60;

// The song as a WAV file, through the sound module in the first of the
// folders that holds it. Without the module or a soundfont, or for a song
// of MaxWavMinutes or more: the reason, and no file.
Rendered renderWav(
    const Song &song, int program, const QStringList &folders = services::pluginFolders());
// The same through an output already opened on Target::Buffer.
QByteArray renderWav(const Song &song, int program, sound::SoundOutput &output);

} // namespace song
