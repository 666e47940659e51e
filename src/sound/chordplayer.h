#pragma once

#include "soundloader.h"

#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

class QThread;

namespace sound
{

// Plays the chords the window shows. The output is opened on the first
// chord, off the GUI thread, so that neither start-up nor any click waits on
// the module, the soundfont or the audio server; a chord shown meanwhile is
// played as soon as the output is there.
class ChordPlayer : public QObject
{
    Q_OBJECT
public:
    static constexpr int LowestNote = 48; // the keyboard's lowest C, C3
    static constexpr int Velocity = 100;
    static constexpr int RingMs = 1500; // from the last note-on to the note-offs
    static constexpr int ArpeggioStepMs = 120;
    static constexpr int KeyNoteMs = 500; // a key clicked on the drawn keyboard

    // Opens the output; runs on a worker thread.
    using Opener = std::function<Opened()>;

    explicit ChordPlayer(Opener opener, QObject *parent = nullptr);
    ~ChordPlayer() override;

    // After this, nothing sounds and nothing is loaded; the reason goes to
    // stderr once and to unavailable().
    void markUnavailable(const QString &reason);
    bool isAvailable() const { return m_reason.isEmpty(); }
    QString unavailableReason() const { return m_reason; }

    bool playsShownChords() const { return m_playShown; }
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

    // Single notes, for a MIDI keyboard: they sound once the output is open.
    void noteOn(int note, int velocity);
    void noteOff(int note);

signals:
    void unavailable(const QString &reason);
    // The first note of a chord has gone to the output.
    void chordStarted();

private:
    void play(const QList<int> &semitones);
    void stop();
    void releaseKey();
    void sounding();
    void startOpening();
    void openingFinished();

    Opener m_opener;
    std::unique_ptr<QThread> m_opening;
    Opened m_opened; // written by the worker, read once it has finished
    std::unique_ptr<SoundOutput> m_output;
    QString m_reason;

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
};

// A player on the desktop's audio output, through the module in the first
// of the folders that holds it; unavailable from the start when the module
// or the soundfont is missing.
std::unique_ptr<ChordPlayer> devicePlayer(const QStringList &folders = moduleFolders());

} // namespace sound
