#pragma once

#include "song.h"

#include <QByteArray>

namespace song
{

inline constexpr int MidiTicksPerQuarter = 480;

// The song as a Standard MIDI File, format 1. Track 1 holds the tempo, the
// time signature, the key signature of the key in effect (none when no key
// is known) and a marker naming each chord that has a text where it
// begins, in the standard spelling (Bar::standardName), which DAWs show as
// the chord track; a chord that begins a section has the section's name as a
// marker before its own. Track 2 holds the notes: each known chord struck
// where it begins and released where it ends, on channel 1, after a change
// to the General MIDI program (0 to 127).
QByteArray midiFileBytes(const Song &song, int program);

} // namespace song
