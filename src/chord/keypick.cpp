#include "keypick.h"

#include "chordtables.h"
#include "midinotes.h"

namespace chord
{

namespace
{
// Fewer keys name no chord, even should a two-note kind (a power chord) join the table.
constexpr std::size_t FewestNamedKeys = 3;
constexpr int PitchClasses = 12;
// MIDI's octave numbers: note 60 is C4, so the keyboard's lowest C is C3.
constexpr int OctaveOfMidiNoteZero = -1;

bool onKeyboard(int semitone)
{
    return semitone >= 0 && semitone < KeyboardKeys;
}
} // namespace

void KeyPick::toggle(int semitone)
{
    if (onKeyboard(semitone))
        m_keys.flip(std::size_t(semitone));
}

bool KeyPick::isPicked(int semitone) const
{
    return onKeyboard(semitone) && m_keys.test(std::size_t(semitone));
}

std::vector<int> KeyPick::notes() const
{
    std::vector<int> notes;
    for (int key = 0; key < KeyboardKeys; ++key) {
        if (m_keys.test(std::size_t(key)))
            notes.push_back(key);
    }
    return notes;
}

std::vector<ChordName> KeyPick::names(NamingOptions options) const
{
    if (m_keys.count() < FewestNamedKeys)
        return {};
    std::vector<int> midiNotes = notes();
    for (int &note : midiNotes)
        note = midiNote(note);
    return chordNames(midiNotes, options);
}

std::string keyNoteName(int semitone)
{
    if (!onKeyboard(semitone))
        return {};
    const int note = midiNote(semitone);
    return std::string(rootText(note % PitchClasses))
        + std::to_string(note / PitchClasses + OctaveOfMidiNoteZero);
}

} // namespace chord
