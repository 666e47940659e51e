#pragma once

// How the program's chords become MIDI notes, wherever they go: the sound
// output, a MIDI port, a MIDI file.
namespace chord
{

// The drawn keyboard's lowest C, C3: semitone 0 of every note set.
inline constexpr int LowestKeyNote = 48;
// Every chord note is struck this hard; a player's own velocity passes through.
inline constexpr int NoteVelocity = 100;
// And let go at MIDI's "no particular release velocity".
inline constexpr int ReleaseVelocity = 64;
// Chords sound on MIDI channel 1, counted from 0 as the protocol counts.
inline constexpr int ChordChannel = 0;
// The count-in clicks: General MIDI's percussion channel 10, and its wood
// blocks, the high one for a bar's first beat.
inline constexpr int PercussionChannel = 9;
inline constexpr int AccentClickNote = 76;
inline constexpr int ClickNote = 77;

constexpr int midiNote(int semitone) noexcept
{
    return LowestKeyNote + semitone;
}

} // namespace chord
