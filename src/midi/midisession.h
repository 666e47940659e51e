#pragma once

#include "chordnamer.h"
#include "heldnotes.h"
#include "miditransport.h"
#include "settler.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>

namespace midi
{

inline constexpr int LowestKeyNote = 48; // the MIDI note of the keyboard's lowest C
inline constexpr int OutputChannel = 0; // channel 1
inline constexpr int OutputVelocity = 100;

// What the program does with MIDI: names the chord held on the input, sends
// the chords shown to the output, and passes the input through when asked.
class MidiSession : public QObject
{
    Q_OBJECT
public:
    // The transport stays owned by whoever made it and must outlive the session.
    explicit MidiSession(MidiTransport *transport, QObject *parent = nullptr);

    void setAcceptMissingFifth(bool accept) { m_naming.acceptMissingFifth = accept; }
    void setThru(bool thru) { m_thru = thru; }

    // A chord shown on the keyboard, in semitones above its lowest C: the
    // notes of the one before are released first. Empty releases only.
    void sendChord(const QList<int> &semitones);
    // Releases what was sent, and asks the receivers to silence every note.
    void releaseAll();

signals:
    // A held chord, stable long enough, that the program can name.
    void chordPlayed(const QString &root, const QString &kind);
    // Every note and controller that arrives, for anything that plays along.
    void played(const midi::MidiMessage &message);

private:
    void receive(const MidiMessage &message);
    void settle();
    void releaseSent();

    MidiTransport *m_transport;
    HeldNotes m_held;
    Settler m_settler;
    chord::NamingOptions m_naming;
    bool m_thru = false;
    QTimer m_settleTimer;
    QElapsedTimer m_clock;
    QList<int> m_sent; // MIDI notes sounding on the output
};

} // namespace midi
