#pragma once

#include "chordnamer.h"

#include <bitset>
#include <string>
#include <vector>

// The notes a player has picked by clicking keys of the drawn keyboard, in
// semitones above its lowest C. Both octaves count: E3 and E4 are two notes.
namespace chord
{

inline constexpr int KeyboardKeys = 24; // C3 to B4

class KeyPick
{
public:
    // Picks the key, or lets it go when it was picked; keys off the
    // keyboard change nothing.
    void toggle(int semitone);
    void clear() { m_keys.reset(); }

    bool isPicked(int semitone) const;
    bool isEmpty() const { return m_keys.none(); }
    // Low to high.
    std::vector<int> notes() const;

    // Every name of the picked notes, best first, as the namer gives them:
    // the first is the pick's chord, the rest what else it is called. None
    // until at least three keys are picked.
    std::vector<ChordName> names(NamingOptions options = {}) const;

private:
    std::bitset<KeyboardKeys> m_keys;
};

// A key's note as a screen reader says it: the root button's spelling and
// the octave, "E3" or "C#4". Empty for a key off the keyboard.
std::string keyNoteName(int semitone);

} // namespace chord
