#pragma once

#include <array>
#include <set>
#include <utility>
#include <vector>

// Which notes sound on a MIDI input: the keys held down and, while a
// channel's sustain pedal is down, the keys released under it. All channels
// are merged into one set, as a player with two keyboards hears one chord.
namespace midi
{

inline constexpr int SustainController = 64;
inline constexpr int PedalDownFrom = 64; // controller values 64 to 127 hold the pedal down
inline constexpr int AllNotesOffController = 123;
inline constexpr int Channels = 16;

class HeldNotes
{
public:
    // A note-on with velocity 0 is a note-off, as running status sends it.
    void noteOn(int channel, int note, int velocity);
    void noteOff(int channel, int note);
    // Only the sustain pedal and All Notes Off matter; other controllers are ignored.
    void controlChange(int channel, int controller, int value);

    // The sounding notes, low to high, each once.
    std::vector<int> notes() const;

private:
    using Key = std::pair<int, int>; // channel, note
    std::set<Key> m_down;
    std::set<Key> m_sustained; // released while the pedal was down
    std::array<bool, Channels> m_pedal {};
};

} // namespace midi
