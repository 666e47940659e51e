#pragma once

#include "chordnamer.h"
#include "heldnotes.h"
#include "miditransport.h"
#include "settler.h"

#include <QList>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <set>
#include <utility>

namespace midi
{

// What the program does with MIDI: names the chord held on the input, sends
// the chords shown to the output, and passes the input through when asked.
// Should the output refuse an event, the session says so once and sends
// nothing more until resumeOutput(); whatever it left sounding it releases
// on releaseAll().
class MidiSession : public QObject
{
    Q_OBJECT
public:
    // Milliseconds since some fixed moment, never going back.
    using Clock = std::function<std::int64_t()>;
    static Clock steadyClock();

    // The transport stays owned by whoever made it and must outlive the session.
    explicit MidiSession(
        MidiTransport *transport, QObject *parent = nullptr, Clock clock = steadyClock());

    void setAcceptMissingFifth(bool accept) { m_naming.acceptMissingFifth = accept; }
    void setThru(bool thru) { m_thru = thru; }

    // A chord shown on the keyboard, in semitones above its lowest C: the
    // notes of the one before are released first. Empty releases only.
    void sendChord(const QList<int> &semitones);
    // A note-off for every note still sounding on the output, then All Notes
    // Off on the chord channel; tried even while the output is refused, so
    // that whatever gets through ends what it left sounding.
    void releaseAll();
    // The user chose an output again: it is used once more.
    void resumeOutput() { m_refused = false; }

signals:
    // A held chord, stable long enough, that the program can name.
    void chordPlayed(const QString &root, const QString &kind);
    // Every note and controller that arrives, for anything that plays along.
    void played(const midi::MidiMessage &message);
    // The output refused an event; nothing goes out until resumeOutput().
    void outputRefused();

private:
    void receive(const MidiMessage &message);
    void settle();
    bool send(const MidiMessage &message);
    void track(const MidiMessage &message);

    MidiTransport *m_transport;
    Clock m_clock;
    HeldNotes m_held;
    Settler m_settler;
    chord::NamingOptions m_naming;
    bool m_thru = false;
    bool m_refused = false;
    QTimer m_settleTimer;
    QList<int> m_chord; // the MIDI notes of the chord last sent
    std::set<std::pair<int, int>> m_sounding; // channel and note of each note on at the output
};

} // namespace midi
