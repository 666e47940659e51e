#pragma once

#include "song.h"
#include "soundloader.h"

#include <QByteArray>

#include <vector>

namespace song
{

struct Audio {
    int sampleRate = 0;
    std::vector<float> left;
    std::vector<float> right;
};

// The song played through a fresh sound output opened on Target::Buffer,
// with a General MIDI program: each known chord struck on its bar line and
// let go at the bar's end, each as near its sample as the output's frame grid
// allows, then a second for the last notes to ring out.
Audio renderSong(const Song &song, int program, sound::SoundOutput &output);

struct Rendered {
    QByteArray wav; // empty on failure
    QString error; // why nothing could be rendered, for the user
};

// The song as a WAV file, through the sound module in the first of the
// folders that holds it. Without the module or a soundfont: the reason, and
// no file.
Rendered renderWav(
    const Song &song, int program, const QStringList &folders = sound::moduleFolders());

} // namespace song
