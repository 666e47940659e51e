#include "midisession.h"

#include "midinotes.h"

#include <QElapsedTimer>

#include <algorithm>

namespace midi
{

namespace
{
constexpr int NoValue = 0;
} // namespace

MidiSession::Clock MidiSession::steadyClock()
{
    QElapsedTimer timer;
    timer.start();
    return [timer] { return timer.elapsed(); };
}

MidiSession::MidiSession(MidiTransport *transport, QObject *parent, Clock clock)
    : QObject(parent)
    , m_transport(transport)
    , m_clock(std::move(clock))
{
    m_settleTimer.setSingleShot(true);
    m_settleTimer.setTimerType(Qt::PreciseTimer);
    connect(m_transport, &MidiTransport::received, this, &MidiSession::receive);
    connect(&m_settleTimer, &QTimer::timeout, this, &MidiSession::settle);
}

void MidiSession::sendChord(const QList<int> &semitones)
{
    using Kind = MidiMessage::Kind;
    for (const int note : std::exchange(m_chord, {}))
        send({Kind::NoteOff, chord::ChordChannel, note, chord::ReleaseVelocity});
    for (const int semitone : semitones) {
        const int note = chord::midiNote(semitone);
        if (send({Kind::NoteOn, chord::ChordChannel, note, chord::NoteVelocity}))
            m_chord << note;
    }
}

void MidiSession::releaseAll()
{
    using Kind = MidiMessage::Kind;
    m_chord.clear();
    std::erase_if(m_sounding, [this](const std::pair<int, int> &on) {
        return m_transport->send({Kind::NoteOff, on.first, on.second, chord::ReleaseVelocity});
    });
    if (m_transport->send({Kind::Control, chord::ChordChannel, AllNotesOffController, NoValue}))
        std::erase_if(m_sounding, [](const auto &on) { return on.first == chord::ChordChannel; });
}

// The first refusal ends the output's use: the notes it left sounding are
// tried at once, and kept to be released again should that fail too.
bool MidiSession::send(const MidiMessage &message)
{
    if (m_refused)
        return false;
    if (!m_transport->send(message)) {
        m_refused = true;
        releaseAll();
        emit outputRefused();
        return false;
    }
    track(message);
    return true;
}

void MidiSession::track(const MidiMessage &message)
{
    const std::pair<int, int> key {message.channel, message.number};
    switch (message.kind) {
    case MidiMessage::Kind::NoteOn:
        if (message.value > 0)
            m_sounding.insert(key);
        else
            m_sounding.erase(key);
        break;
    case MidiMessage::Kind::NoteOff: m_sounding.erase(key); break;
    case MidiMessage::Kind::Control:
        if (message.number == AllNotesOffController)
            std::erase_if(m_sounding, [&](const auto &on) { return on.first == message.channel; });
        break;
    }
}

void MidiSession::receive(const MidiMessage &message)
{
    if (m_thru)
        send(message);
    emit played(message);

    const std::vector<int> before = m_held.notes();
    switch (message.kind) {
    case MidiMessage::Kind::NoteOn:
        m_held.noteOn(message.channel, message.number, message.value);
        break;
    case MidiMessage::Kind::NoteOff: m_held.noteOff(message.channel, message.number); break;
    case MidiMessage::Kind::Control:
        m_held.controlChange(message.channel, message.number, message.value);
        break;
    }
    const std::vector<int> after = m_held.notes();
    if (after == before)
        return;
    m_settler.change(after, m_clock());
    m_settleTimer.start(SettleMs);
}

// The timer and the clock may disagree by a millisecond or so: if the clock
// says the settle is not yet due, the timer waits again for what remains.
void MidiSession::settle()
{
    const std::int64_t now = m_clock();
    const auto notes = m_settler.take(now);
    if (!notes) {
        if (const auto left = m_settler.dueIn(now))
            m_settleTimer.start(int(*left));
        return;
    }
    if (const auto name = chord::nameChord(*notes, m_naming))
        emit chordPlayed(QString::fromUtf8(name->root.data(), qsizetype(name->root.size())),
            QString::fromUtf8(name->kind.data(), qsizetype(name->kind.size())));
}

} // namespace midi
