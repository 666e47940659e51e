#include "midisession.h"

namespace midi
{

namespace
{
constexpr int ReleaseVelocity = 64; // "no particular release velocity"
constexpr int NoValue = 0;
} // namespace

MidiSession::MidiSession(MidiTransport *transport, QObject *parent)
    : QObject(parent)
    , m_transport(transport)
{
    // A precise timer never fires early, so the settler is always due when it fires.
    m_settleTimer.setSingleShot(true);
    m_settleTimer.setTimerType(Qt::PreciseTimer);
    m_clock.start();
    connect(m_transport, &MidiTransport::received, this, &MidiSession::receive);
    connect(&m_settleTimer, &QTimer::timeout, this, &MidiSession::settle);
}

void MidiSession::sendChord(const QList<int> &semitones)
{
    releaseSent();
    for (const int semitone : semitones) {
        const int note = LowestKeyNote + semitone;
        m_transport->send({MidiMessage::Kind::NoteOn, OutputChannel, note, OutputVelocity});
        m_sent << note;
    }
}

void MidiSession::releaseAll()
{
    releaseSent();
    m_transport->send({MidiMessage::Kind::Control, OutputChannel, AllNotesOffController, NoValue});
}

void MidiSession::releaseSent()
{
    for (const int note : std::as_const(m_sent))
        m_transport->send({MidiMessage::Kind::NoteOff, OutputChannel, note, ReleaseVelocity});
    m_sent.clear();
}

void MidiSession::receive(const MidiMessage &message)
{
    if (m_thru)
        m_transport->send(message);
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
    m_settler.change(after, m_clock.elapsed());
    m_settleTimer.start(SettleMs);
}

void MidiSession::settle()
{
    const auto notes = m_settler.take(m_clock.elapsed());
    if (!notes)
        return;
    if (const auto name = chord::nameChord(*notes, m_naming))
        emit chordPlayed(QString::fromUtf8(name->root.data(), qsizetype(name->root.size())),
            QString::fromUtf8(name->kind.data(), qsizetype(name->kind.size())));
}

} // namespace midi
