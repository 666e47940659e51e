#pragma once

#include "song.h"

#include <QByteArray>

namespace song
{

inline constexpr int MidiTicksPerQuarter = 480;

// The song as a Standard MIDI File, format 1. Track 1 holds the tempo, the
// time signature and a marker naming the chord at the start of every bar
// that holds a chord text, in the standard spelling (Bar::standardName),
// which DAWs show as the chord track. Track 2 holds
// the notes: each known chord struck on its bar line and released at the
// bar's end, on channel 1, after a change to the General MIDI program
// (0 to 127).
QByteArray midiFileBytes(const Song &song, int program);

} // namespace song
