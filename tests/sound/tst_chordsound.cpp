#include "chordplayer.h"
#include "chordtables.h"
#include "midinotes.h"
#include "pitchcheck.h"
#include "placement.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <vector>

// The module renders chords into a buffer, and the pitch check hears in it
// exactly the chord's notes: not the chord a semitone or an octave off, nor
// with a note too many. Timed notes start on the grid line nearest their
// frame, wherever the renders are cut.
class tst_ChordSound : public QObject
{
    Q_OBJECT
private slots:
    void soundsExactlyTheChord_data();
    void soundsExactlyTheChord();
    void timedNoteStartsOnItsGridLine_data();
    void timedNoteStartsOnItsGridLine();
};

namespace
{
constexpr double RenderSeconds = 0.7;
// Renders shorter than the grid and off it, as an audio driver's may be.
constexpr std::size_t ChunkFrames = 100;
constexpr int RenderedLines = 48;
constexpr int Silent = -1;
constexpr int TimedNote = 60;
// -80 dB: over the reverb's own noise, which never quite stops, and reached
// by a note within its first grid block.
constexpr float Audible = 1e-4f;
} // namespace

void tst_ChordSound::soundsExactlyTheChord_data()
{
    QTest::addColumn<QByteArray>("root");
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<int>("shift"); // semitones the notes played lie off the chord
    QTest::addColumn<bool>("extraNote"); // a semitone above the root, played too

    for (const char *root : {"C", "Eb", "F#", "A", "B"}) {
        for (const chord::KindRow &kind : chord::ChordKind) {
            const QByteArray name
                = QByteArray(root) + QByteArray(kind.text.data(), kind.text.size());
            QTest::addRow("%s", name.constData())
                << QByteArray(root) << QByteArray(kind.text.data(), kind.text.size()) << 0 << false;
        }
    }
    for (const chord::KindRow &kind : chord::ChordKind) {
        const QByteArray name = "G" + QByteArray(kind.text.data(), kind.text.size());
        const QByteArray text(kind.text.data(), kind.text.size());
        QTest::addRow("%s a semitone up", name.constData())
            << QByteArray("G") << text << 1 << false;
        QTest::addRow("%s with an extra note", name.constData())
            << QByteArray("G") << text << 0 << true;
        QTest::addRow("%s an octave up", name.constData())
            << QByteArray("G") << text << 12 << false;
    }
}

void tst_ChordSound::soundsExactlyTheChord()
{
    QFETCH(QByteArray, root);
    QFETCH(QByteArray, kind);
    QFETCH(int, shift);
    QFETCH(bool, extraNote);

    std::vector<int> chordNotes;
    for (int semitone :
        chord::soundingNotes(chord::placeChord(root.toStdString(), kind.toStdString())))
        chordNotes.push_back(chord::midiNote(semitone));
    QVERIFY(!chordNotes.empty());

    sound::Opened opened = sound::openOutput({QStringLiteral(MODULE_DIR)}, sound::Target::Buffer);
    QVERIFY2(opened.output, qPrintable(opened.reason));
    for (int note : chordNotes)
        opened.output->noteOn(note + shift, chord::NoteVelocity);
    if (extraNote)
        opened.output->noteOn(chordNotes.front() + 1, chord::NoteVelocity);

    const auto frames = std::size_t(RenderSeconds * opened.output->sampleRate());
    std::vector<float> left(frames), right(frames), mono(frames);
    opened.output->render(left, right);
    for (std::size_t i = 0; i < frames; ++i)
        mono[i] = (left[i] + right[i]) / 2;
    const std::vector<int> found = pitchcheck::notesIn(mono, opened.output->sampleRate());
    const QList<int> heard(found.begin(), found.end());
    const QList<int> expected(chordNotes.begin(), chordNotes.end());

    if (shift == 0 && !extraNote)
        QCOMPARE(heard, expected);
    else
        QVERIFY2(heard != expected, "the pitch check takes a wrong chord for the right one");
}

void tst_ChordSound::timedNoteStartsOnItsGridLine_data()
{
    // Frames in grid lines; the first line the sound starts within.
    QTest::addColumn<QList<double>>("lines"); // of the notes, in the order scheduled
    QTest::addColumn<int>("channel");
    QTest::addColumn<double>("renderedBefore"); // when the notes are scheduled
    QTest::addColumn<double>("cancelledAt"); // or never: Silent
    QTest::addColumn<int>("soundsAt"); // or Silent

    QTest::newRow("on a line") << QList<double> {10} << chord::ChordChannel << 0.0 << -1.0 << 10;
    QTest::newRow("just after a line")
        << QList<double> {10.25} << chord::ChordChannel << 0.0 << -1.0 << 10;
    QTest::newRow("nearer the next line")
        << QList<double> {10.75} << chord::ChordChannel << 0.0 << -1.0 << 11;
    QTest::newRow("scheduled late, sounds early")
        << QList<double> {30, 12.2} << chord::ChordChannel << 0.0 << -1.0 << 12;
    QTest::newRow("scheduled while rendering")
        << QList<double> {20} << chord::ChordChannel << 7.5 << -1.0 << 20;
    QTest::newRow("in the past: at once")
        << QList<double> {5} << chord::ChordChannel << 30.0 << -1.0 << 30;
    QTest::newRow("a click") << QList<double> {10} << chord::PercussionChannel << 0.0 << -1.0 << 10;
    QTest::newRow("cancelled before its line")
        << QList<double> {20, 30} << chord::ChordChannel << 0.0 << 15.0 << Silent;
}

void tst_ChordSound::timedNoteStartsOnItsGridLine()
{
    QFETCH(QList<double>, lines);
    QFETCH(int, channel);
    QFETCH(double, renderedBefore);
    QFETCH(double, cancelledAt);
    QFETCH(int, soundsAt);

    sound::Opened opened = sound::openOutput({QStringLiteral(MODULE_DIR)}, sound::Target::Buffer);
    QVERIFY2(opened.output, qPrintable(opened.reason));
    sound::SoundOutput &output = *opened.output;
    const int grid = output.frameGrid();
    const auto frames = std::size_t(RenderedLines * grid);
    std::vector<float> left(frames), right(frames);
    std::size_t done = 0;
    const auto renderTo = [&](double line) {
        for (const auto end = std::size_t(line * grid); done < end;) {
            const std::size_t count = std::min(ChunkFrames, end - done);
            output.render(
                std::span(left).subspan(done, count), std::span(right).subspan(done, count));
            done += count;
        }
    };

    renderTo(renderedBefore);
    std::vector<sound::TimedNote> notes;
    for (double line : lines)
        notes.push_back({std::int64_t(line * grid), channel, TimedNote + int(notes.size()),
            chord::NoteVelocity});
    output.schedule(notes);
    if (cancelledAt != Silent) {
        renderTo(cancelledAt);
        output.cancelScheduled();
    }
    renderTo(RenderedLines);
    QCOMPARE(output.framesPlayed(), std::int64_t(frames));

    const auto sounding = [](float s) { return std::abs(s) >= Audible; };
    const auto first
        = std::size_t(std::min(std::find_if(left.begin(), left.end(), sounding) - left.begin(),
            std::find_if(right.begin(), right.end(), sounding) - right.begin()));
    if (soundsAt == Silent)
        QCOMPARE(first, frames);
    else
        QVERIFY2(
            first >= std::size_t(soundsAt * grid) && first < std::size_t((soundsAt + 1) * grid),
            qPrintable(QStringLiteral("first sound at frame %1, grid %2").arg(first).arg(grid)));
}

QTEST_GUILESS_MAIN(tst_ChordSound)
#include "tst_chordsound.moc"
