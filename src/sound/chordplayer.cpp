#include "chordplayer.h"

#include "midinotes.h"

#include <cstdio>
#include <utility>

namespace sound
{

ChordPlayer::ChordPlayer(Opener opener, QObject *parent)
    : QObject(parent)
    , m_opener(std::move(opener))
{
    // Coarse timers may fire 5 % early: a step would shorten audibly.
    m_arpeggioStep.setTimerType(Qt::PreciseTimer);
    m_ring.setTimerType(Qt::PreciseTimer);
    m_arpeggioStep.setInterval(ArpeggioStepMs);
    m_ring.setSingleShot(true);
    m_ring.setInterval(RingMs);
    connect(&m_arpeggioStep, &QTimer::timeout, this, &ChordPlayer::sounding);
    connect(&m_ring, &QTimer::timeout, this, &ChordPlayer::stop);
    m_keyRing.setSingleShot(true);
    m_keyRing.setInterval(KeyNoteMs);
    connect(&m_keyRing, &QTimer::timeout, this, &ChordPlayer::releaseKey);
}

void ChordPlayer::markUnavailable(const QString &reason)
{
    if (!isAvailable())
        return;
    m_reason = reason;
    m_opening = false;
    m_pending = false;
    std::fprintf(stderr, "ソラミナ: 音は出ません: %s\n", qPrintable(reason));
    std::fflush(stderr);
    emit unavailable(reason);
}

// Turned off, nothing is left sounding: not the chord ringing, the key
// clicked, nor a note held on a MIDI keyboard, whose release would no
// longer come through. Turned on after an output failed to open, it tries
// again.
void ChordPlayer::setPlaysShownChords(bool on)
{
    m_playShown = on;
    if (on) {
        if (m_failedToOpen) {
            m_failedToOpen = false;
            m_reason.clear();
            startOpening();
        }
        return;
    }
    m_pending = false;
    if (!m_output)
        return;
    releaseKey();
    stop();
    for (int note : std::exchange(m_held, {}))
        m_output->noteOff(note);
}

void ChordPlayer::setProgram(int program)
{
    m_program = program;
    if (m_output)
        m_output->selectProgram(program);
}

void ChordPlayer::showChord(const QList<int> &semitones)
{
    m_lastChord = semitones;
    if (m_playShown)
        play(semitones);
}

void ChordPlayer::replay()
{
    play(m_lastChord);
}

void ChordPlayer::playKey(int semitone)
{
    if (!m_playShown || !isAvailable())
        return;
    if (!m_output) {
        m_key = chord::midiNote(semitone);
        startOpening();
        return;
    }
    releaseKey();
    m_key = chord::midiNote(semitone);
    m_keySounding = true;
    m_output->noteOn(m_key, chord::NoteVelocity);
    m_keyRing.start();
}

// A chord sounding the same note keeps it.
void ChordPlayer::releaseKey()
{
    m_keyRing.stop();
    if (m_keySounding && !m_notes.mid(0, m_started).contains(m_key))
        m_output->noteOff(m_key);
    m_keySounding = false;
    m_key = -1;
}

void ChordPlayer::preload()
{
    startOpening();
}

void ChordPlayer::noteOn(int note, int velocity)
{
    if (!m_playShown)
        return;
    if (!m_output) {
        startOpening();
        return;
    }
    m_output->noteOn(note, velocity);
    if (!m_held.contains(note))
        m_held.append(note);
}

void ChordPlayer::noteOff(int note)
{
    if (m_output && m_held.removeOne(note))
        m_output->noteOff(note);
}

void ChordPlayer::play(const QList<int> &semitones)
{
    if (!isAvailable())
        return;
    if (!m_output) {
        m_lastChord = semitones;
        m_pending = true;
        startOpening();
        return;
    }
    stop();
    for (int semitone : semitones)
        m_notes.append(chord::midiNote(semitone));
    if (m_notes.isEmpty())
        return;
    sounding();
    if (m_arpeggio && m_started < m_notes.size())
        m_arpeggioStep.start();
}

// Turns on the next note, or all of them when not arpeggiated; once all are
// on, the chord rings for RingMs.
void ChordPlayer::sounding()
{
    const qsizetype until = m_arpeggio ? m_started + 1 : m_notes.size();
    for (; m_started < until; ++m_started)
        m_output->noteOn(m_notes[m_started], chord::NoteVelocity);
    if (m_started == 1 || !m_arpeggio)
        emit chordStarted();
    if (m_started == m_notes.size()) {
        m_arpeggioStep.stop();
        m_ring.start();
    }
}

void ChordPlayer::stop()
{
    m_arpeggioStep.stop();
    m_ring.stop();
    for (qsizetype i = 0; i < m_started; ++i)
        m_output->noteOff(m_notes[i]);
    m_notes.clear();
    m_started = 0;
}

void ChordPlayer::startOpening()
{
    if (m_opening || m_output || !isAvailable())
        return;
    m_opening = true;
    m_worker.run([this] { m_failure = m_opener.load(); }, this, [this] { loaded(); });
}

// The module's root object and the output are made here, on the thread that
// owns them; the worker then loads the soundfont and starts the audio.
void ChordPlayer::loaded()
{
    if (!m_failure.isEmpty()) {
        markUnavailable(m_failure);
        return;
    }
    Opened created = m_opener.create();
    if (!created.output) {
        markUnavailable(created.reason);
        return;
    }
    m_opened = std::move(created.output);
    m_worker.run([this] { m_failure = m_opener.open(*m_opened); }, this, [this] { opened(); });
}

void ChordPlayer::opened()
{
    std::unique_ptr<SoundOutput> output = std::move(m_opened);
    if (!m_failure.isEmpty()) {
        markUnavailable(m_failure);
        m_failedToOpen = true;
        emit openFailed(m_failure);
        return;
    }
    m_output = std::move(output);
    m_output->selectProgram(m_program);
    emit ready();
    if (m_key >= 0)
        playKey(std::exchange(m_key, -1) - chord::LowestKeyNote);
    if (m_pending) {
        m_pending = false;
        play(m_lastChord);
    }
}

std::unique_ptr<ChordPlayer> devicePlayer(const QStringList &folders)
{
    auto player = std::make_unique<ChordPlayer>(outputOpener(folders, Target::Device));
    if (const QString missing = missingPiece(folders); !missing.isEmpty())
        player->markUnavailable(missing);
    return player;
}

} // namespace sound
