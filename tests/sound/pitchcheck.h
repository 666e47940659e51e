#pragma once

#include <span>
#include <vector>

// Which notes of the twelve-tone scale sound in a recording: the one check
// every sound test makes, offline or on a recorded audio server.
namespace pitchcheck
{

inline constexpr int LowestNote = 40; // E2: below the keyboard, for chords a semitone off
inline constexpr int HighestNote = 96; // C7

// The MIDI notes sounding from 0.1 s to 0.6 s after the start of the mono
// samples, low to high: every pitch whose strength reaches a fraction of the
// strongest, but for the overtones of a lower note found.
std::vector<int> notesIn(std::span<const float> samples, int sampleRate);

// Where the first sound starts in a recording that begins in silence.
std::size_t onset(std::span<const float> samples);

// Where each chord is struck in a recording of chords one after another,
// each starting as the one before dies away or is let go: a sudden rise of
// the sound, to within about a millisecond and a half.
std::vector<std::size_t> attacks(std::span<const float> samples);

} // namespace pitchcheck
