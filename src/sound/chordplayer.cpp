#include "chordplayer.h"

#include <QThread>

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

ChordPlayer::~ChordPlayer()
{
    if (m_opening)
        m_opening->wait();
}

void ChordPlayer::markUnavailable(const QString &reason)
{
    if (!isAvailable())
        return;
    m_reason = reason;
    m_pending = false;
    std::fprintf(stderr, "ソラミナ: 音は出ません: %s\n", qPrintable(reason));
    std::fflush(stderr);
    emit unavailable(reason);
}

void ChordPlayer::setPlaysShownChords(bool on)
{
    m_playShown = on;
    if (!on)
        m_pending = false;
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
        m_key = LowestNote + semitone;
        startOpening();
        return;
    }
    releaseKey();
    m_key = LowestNote + semitone;
    m_keySounding = true;
    m_output->noteOn(m_key, Velocity);
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

void ChordPlayer::noteOn(int note, int velocity)
{
    if (m_output)
        m_output->noteOn(note, velocity);
    else
        startOpening();
}

void ChordPlayer::noteOff(int note)
{
    if (m_output)
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
        m_notes.append(LowestNote + semitone);
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
        m_output->noteOn(m_notes[m_started], Velocity);
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
    m_opening.reset(QThread::create([this] { m_opened = m_opener(); }));
    connect(m_opening.get(), &QThread::finished, this, &ChordPlayer::openingFinished);
    m_opening->start();
}

void ChordPlayer::openingFinished()
{
    Opened opened = std::move(m_opened);
    if (!opened.output) {
        markUnavailable(opened.reason);
        return;
    }
    m_output = std::move(opened.output);
    m_output->selectProgram(m_program);
    if (m_key >= 0)
        playKey(std::exchange(m_key, -1) - LowestNote);
    if (m_pending) {
        m_pending = false;
        play(m_lastChord);
    }
}

std::unique_ptr<ChordPlayer> devicePlayer(const QStringList &folders)
{
    auto player
        = std::make_unique<ChordPlayer>([folders] { return openOutput(folders, Target::Device); });
    if (const QString missing = missingPiece(folders); !missing.isEmpty())
        player->markUnavailable(missing);
    return player;
}

} // namespace sound
