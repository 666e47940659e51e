#include "midifile.h"

#include "midinotes.h"
#include "songtext.h"

#include <algorithm>
#include <initializer_list>

namespace song
{

namespace
{
constexpr int FileFormat = 1;
constexpr int TrackCount = 2;
constexpr char NoteOff = char(0x80); // channel 1
constexpr char NoteOn = char(0x90);
constexpr char ProgramChange = char(0xC0);
constexpr int ReleaseVelocity = 64; // the default for keyboards that send none
constexpr char Meta = char(0xFF);
constexpr char TrackName = 0x03;
constexpr char Marker = 0x06;
constexpr char EndOfTrack = 0x2F;
constexpr char Tempo = 0x51;
constexpr char TimeSignature = 0x58;
constexpr char KeySignature = 0x59;
constexpr int FifthSteps = 7; // semitones a step round the circle of fifths
constexpr int MicrosecondsPerMinute = 60'000'000;
constexpr char QuarterNotePower = 2; // the time signature's denominator, as a power of two
constexpr char ClocksPerClick = 24; // MIDI clocks per metronome click: one a quarter note
constexpr char ThirtySecondsPerQuarter = 8;
constexpr int HighestProgram = 127;

QByteArray bigEndian(quint32 value, int size)
{
    QByteArray bytes;
    for (int shift = 8 * (size - 1); shift >= 0; shift -= 8)
        bytes += char((value >> shift) & 0xFF);
    return bytes;
}

// The key signature's two bytes: sharps (flats below zero) and major or minor.
QByteArray keySignature(chord::Key key)
{
    const int major = (key.tonic + (key.minor ? chord::MinorThird : 0)) % chord::PitchClassCount;
    const int sharps = major * FifthSteps % chord::PitchClassCount;
    const char signs[] {
        char(chord::spellsWithFlats(key) ? sharps - chord::PitchClassCount : sharps),
        char(key.minor ? 1 : 0)};
    return QByteArray(signs, sizeof signs);
}

// A variable-length quantity: seven bits a byte, the high bit set on all
// but the last.
void appendNumber(QByteArray &bytes, quint32 value)
{
    QByteArray groups(1, char(value & 0x7F));
    while (value >>= 7)
        groups.prepend(char(0x80 | (value & 0x7F)));
    bytes += groups;
}

// A track's events, each written after the ticks since the one before.
class Track
{
public:
    void at(qint64 tick)
    {
        appendNumber(m_bytes, quint32(tick - m_tick));
        m_tick = tick;
    }
    void meta(qint64 tick, char type, const QByteArray &data)
    {
        at(tick);
        m_bytes += Meta;
        m_bytes += type;
        appendNumber(m_bytes, quint32(data.size()));
        m_bytes += data;
    }
    void event(qint64 tick, char status, std::initializer_list<int> data)
    {
        at(tick);
        m_bytes += status;
        for (const int byte : data)
            m_bytes += char(byte);
    }
    QByteArray chunk(qint64 endTick)
    {
        meta(endTick, EndOfTrack, {});
        return "MTrk" + bigEndian(quint32(m_bytes.size()), 4) + m_bytes;
    }

private:
    QByteArray m_bytes;
    qint64 m_tick = 0;
};
} // namespace

QByteArray midiFileBytes(const Song &song, int program)
{
    const std::vector<qint64> starts = chordStarts(song);
    const auto tickOf
        = [&starts](std::size_t chord) { return starts[chord] * MidiTicksPerQuarter; };
    const qint64 endTick = tickOf(song.bars.size());

    Track conductor;
    if (!song.title.isEmpty())
        conductor.meta(0, TrackName, singleLine(song.title).toUtf8());
    conductor.meta(
        0, Tempo, bigEndian(quint32((MicrosecondsPerMinute + song.tempo / 2) / song.tempo), 3));
    const char meter[] {
        char(song.beatsPerBar), QuarterNotePower, ClocksPerClick, ThirtySecondsPerQuarter};
    conductor.meta(0, TimeSignature, QByteArray(meter, sizeof meter));
    if (const std::optional<chord::Key> key = keyInEffect(song))
        conductor.meta(0, KeySignature, keySignature(*key));
    for (std::size_t i = 0; i < song.bars.size(); ++i) {
        const Bar &bar = song.bars[i];
        if (!bar.section.isEmpty())
            conductor.meta(tickOf(i), Marker, singleLine(bar.section).toUtf8());
        if (!bar.isEmpty())
            conductor.meta(tickOf(i), Marker, singleLine(bar.standardName()).toUtf8());
    }

    Track notes;
    notes.event(0, ProgramChange, {std::clamp(program, 0, HighestProgram)});
    for (std::size_t i = 0; i < song.bars.size(); ++i) {
        const Bar &bar = song.bars[i];
        for (const int note : bar.notes)
            notes.event(tickOf(i), NoteOn, {note, chord::NoteVelocity});
        for (const int note : bar.notes)
            notes.event(tickOf(i + 1), NoteOff, {note, ReleaseVelocity});
    }

    QByteArray file("MThd");
    file += bigEndian(6, 4) + bigEndian(FileFormat, 2) + bigEndian(TrackCount, 2)
        + bigEndian(MidiTicksPerQuarter, 2);
    return file + conductor.chunk(endTick) + notes.chunk(endTick);
}

} // namespace song
