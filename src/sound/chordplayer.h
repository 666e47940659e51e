#pragma once

#include "offthread.h"
#include "pluginloader.h"
#include "soundloader.h"

#include <QList>
#include <QObject>
#include <QTimer>

#include <memory>

namespace sound
{

// Plays the chords the window shows. The output is opened on the first
// chord: the module, the soundfont and the audio server load off the GUI
// thread, so that neither start-up nor any click waits on them, while the
// module's objects are made on the player's own thread; a chord shown
// meanwhile is played as soon as the output is there.
class ChordPlayer : public QObject
{
    Q_OBJECT
public:
    static constexpr int RingMs = 1500; // from the last note-on to the note-offs
    static constexpr int ArpeggioStepMs = 120;
    static constexpr int KeyNoteMs = 500; // a key clicked on the drawn keyboard

    explicit ChordPlayer(Opener opener, QObject *parent = nullptr);

    // After this, nothing sounds and nothing is loaded; the reason goes to
    // stderr once and to unavailable().
    void markUnavailable(const QString &reason);
    bool isAvailable() const { return m_reason.isEmpty(); }
    QString unavailableReason() const { return m_reason; }

    bool playsShownChords() const { return m_playShown; }
    // Off releases every note sounding. On, after openFailed(), opens the
    // output again.
    void setPlaysShownChords(bool on);
    void setArpeggio(bool on) { m_arpeggio = on; }
    // A General MIDI program, for the chords and the single notes alike.
    void setProgram(int program);

    // A chord the window shows, in semitones above the keyboard's lowest C:
    // remembered for replay() and played when shown chords are played. A new
    // chord stops the one before; an empty one sounds nothing.
    void showChord(const QList<int> &semitones);
    // Plays the last chord shown again.
    void replay();

    // A key clicked on the drawn keyboard, in semitones above its lowest C:
    // a short note when shown chords are played, opening the output as a
    // chord does. A new key stops the one before.
    void playKey(int semitone);

    // Opens the output now, with nothing to play, so that the first chord
    // sounds as fast as the later ones; ready() says when it is there.
    void preload();
    // The open output, for timed playback; null until ready().
    SoundOutput *output() const { return m_output.get(); }

    // Single notes, for a MIDI keyboard, while shown chords are played: they
    // sound once the output is open. A note-off ends only a note sounding.
    void noteOn(int note, int velocity);
    void noteOff(int note);

signals:
    void unavailable(const QString &reason);
    // The module and the soundfont are there, but the audio output did not
    // open: unavailable() came first, and turning shown chords on tries again.
    void openFailed(const QString &reason);
    // The first note of a chord has gone to the output.
    void chordStarted();
    // The output is open: output() is there.
    void ready();

private:
    void play(const QList<int> &semitones);
    void stop();
    void releaseKey();
    void sounding();
    void startOpening();
    void loaded();
    void opened();

    Opener m_opener;
    bool m_opening = false; // begun: it ends with an output or unavailable()
    QString m_failure; // written by a worker step, read once it has returned
    std::unique_ptr<SoundOutput> m_opened; // while the worker opens it
    std::unique_ptr<SoundOutput> m_output;
    QString m_reason;
    bool m_failedToOpen = false;

    bool m_playShown = true;
    bool m_arpeggio = false;
    int m_program = 0;
    QList<int> m_lastChord;
    bool m_pending = false; // m_lastChord waits for the output to open

    QList<int> m_notes; // of the chord sounding
    qsizetype m_started = 0; // how many of m_notes are on
    QTimer m_arpeggioStep;
    QTimer m_ring;
    int m_key = -1; // the clicked key's note sounding, or waiting for the output
    bool m_keySounding = false;
    QTimer m_keyRing;
    QList<int> m_held; // MIDI keyboard notes sounding

    // Last, so that it is gone, its job waited for, before what the job uses.
    services::OffThread m_worker;
};

// A player on the desktop's audio output, through the module in the first
// of the folders that holds it; unavailable from the start when the module
// or the soundfont is missing.
std::unique_ptr<ChordPlayer> devicePlayer(const QStringList &folders = services::pluginFolders());

} // namespace sound
