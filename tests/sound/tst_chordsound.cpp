#include "chordplayer.h"
#include "chordtables.h"
#include "midinotes.h"
#include "pitchcheck.h"
#include "placement.h"

#include <QTest>

#include <atomic>
#include <thread>

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
    void levels_data();
    void levels();
    void clickedChordLeavesTheSong_data();
    void clickedChordLeavesTheSong();
    void handedOverWhileRendering_data();
    void handedOverWhileRendering();
};

namespace
{
constexpr double RenderSeconds = 0.7;
// Renders shorter than the grid and off it, as an audio driver's may be.
constexpr std::size_t ChunkFrames = 100;
constexpr int RenderedLines = 48;
constexpr int Silent = -1;
constexpr int TimedNote = 60;
constexpr double LevelSeconds = 0.4; // the attack and the reverb's answer to it
// The wood blocks the count-in plays, as the song player strikes them.
constexpr int AccentClick = 127;
constexpr int PlainClick = 80;
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

namespace
{
struct Level {
    double left = 0; // peak, dBFS
    double right = 0;
    double rms = 0; // both channels, dBFS
};

double dB(double amplitude)
{
    return 20 * std::log10(std::max(amplitude, 1e-9));
}

// The notes struck at once on the channel, on an output already playing
// the program: the chords' own channel through noteOn(), any other as
// timed notes; then let go, and rung out far enough for the next.
Level levelOf(sound::SoundOutput &output, const std::vector<int> &notes, int channel, int velocity)
{
    std::vector<sound::TimedNote> timed;
    for (int note : notes) {
        if (channel == chord::ChordChannel)
            output.noteOn(note, velocity);
        else
            timed.push_back({0, channel, note, velocity});
    }
    output.schedule(timed);
    const auto frames = std::size_t(LevelSeconds * output.sampleRate());
    std::vector<float> left(frames), right(frames);
    output.render(left, right);
    for (int note : notes)
        output.noteOff(note);
    output.cancelScheduled();
    std::vector<float> ringing(frames);
    output.render(ringing, ringing);
    Level level;
    double sum = 0;
    for (std::size_t i = 0; i < frames; ++i) {
        level.left = std::max(level.left, double(std::abs(left[i])));
        level.right = std::max(level.right, double(std::abs(right[i])));
        sum += double(left[i]) * left[i] + double(right[i]) * right[i];
    }
    return {dB(level.left), dB(level.right), dB(std::sqrt(sum / double(2 * frames)))};
}

// Every chord of the tables, on every root button.
std::vector<std::vector<int>> everyChord()
{
    std::vector<std::vector<int>> chords;
    for (std::size_t root = 0; root < chord::RootButtonCount; ++root) {
        for (const chord::KindRow &kind : chord::ChordKind) {
            std::vector<int> notes;
            for (int semitone :
                chord::soundingNotes(chord::placeChord(chord::ChordRoot[root].text, kind.text)))
                notes.push_back(chord::midiNote(semitone));
            chords.push_back(notes);
        }
    }
    return chords;
}
} // namespace

void tst_ChordSound::levels_data()
{
    // A program's four-note chord, CM7 from C3, peaks in [lowest, highest]
    // dBFS; every chord of the tables stays under full scale.
    QTest::addColumn<int>("program");
    QTest::addColumn<double>("lowest");
    QTest::addColumn<double>("highest");

    QTest::newRow("piano: loud, never clipping") << 0 << -9.0 << -3.0;
    QTest::newRow("electric piano: never clipping") << 4 << -30.0 << 0.0;
    QTest::newRow("organ: never clipping") << 16 << -30.0 << 0.0;
    QTest::newRow("guitar: never clipping") << 24 << -30.0 << 0.0;
    QTest::newRow("strings: never clipping") << 48 << -30.0 << 0.0;
}

// The count-in is heard with the piano's chord: centred, about 6 dB under it.
void tst_ChordSound::levels()
{
    QFETCH(int, program);
    QFETCH(double, lowest);
    QFETCH(double, highest);

    sound::Opened opened = sound::openOutput({QStringLiteral(MODULE_DIR)}, sound::Target::Buffer);
    QVERIFY2(opened.output, qPrintable(opened.reason));
    sound::SoundOutput &output = *opened.output;
    output.selectProgram(program);
    std::vector<int> fourNotes;
    for (int semitone : chord::soundingNotes(chord::placeChord("C", "M7")))
        fourNotes.push_back(chord::midiNote(semitone));
    QCOMPARE(fourNotes.size(), std::size_t(4));
    const Level four = levelOf(output, fourNotes, chord::ChordChannel, chord::NoteVelocity);
    const double peak = std::max(four.left, four.right);
    qInfo("four notes: peak %.1f dBFS, rms %.1f dBFS", peak, four.rms);
    QCOMPARE_GE(peak, lowest);
    QCOMPARE_LE(peak, highest);

    double loudest = -200;
    for (const std::vector<int> &notes : everyChord()) {
        const Level level = levelOf(output, notes, chord::ChordChannel, chord::NoteVelocity);
        loudest = std::max({loudest, level.left, level.right});
    }
    qInfo("loudest chord: %.1f dBFS", loudest);
    QCOMPARE_LT(loudest, 0.0);

    if (program != 0)
        return;
    for (const auto &[note, velocity] : {std::pair {chord::AccentClickNote, AccentClick},
             std::pair {chord::ClickNote, PlainClick}}) {
        const Level click = levelOf(output, {note}, chord::PercussionChannel, velocity);
        qInfo("click %d: left %.1f, right %.1f dBFS", note, click.left, click.right);
        QCOMPARE_LT(std::abs(click.left - click.right), 1.0);
        const double under = peak - std::max(click.left, click.right);
        QCOMPARE_GE(under, velocity == AccentClick ? 3.0 : 9.0);
        QCOMPARE_LE(under, velocity == AccentClick ? 9.0 : 15.0);
    }
}

void tst_ChordSound::clickedChordLeavesTheSong_data()
{
    QTest::addColumn<int>("clicked"); // the note of a chord clicked and let go; -1 none

    QTest::newRow("nothing clicked") << -1;
    QTest::newRow("the song's own note") << TimedNote;
    QTest::newRow("another note") << TimedNote + 4;
}

// A song's held organ note sounds on, at its level, whatever is clicked
// meanwhile: the chords clicked are let go on a channel of their own.
void tst_ChordSound::clickedChordLeavesTheSong()
{
    QFETCH(int, clicked);

    constexpr int Organ = 16;
    sound::Opened opened = sound::openOutput({QStringLiteral(MODULE_DIR)}, sound::Target::Buffer);
    QVERIFY2(opened.output, qPrintable(opened.reason));
    sound::SoundOutput &output = *opened.output;
    output.selectProgram(Organ);
    const sound::TimedNote song[] {{0, chord::ChordChannel, TimedNote, chord::NoteVelocity}};
    output.schedule(song);
    const auto tenth = std::size_t(output.sampleRate() / 10);
    std::vector<float> left(tenth), right(tenth);
    const auto level = [&] {
        output.render(left, right);
        double sum = 0;
        for (std::size_t i = 0; i < tenth; ++i)
            sum += double(left[i]) * left[i] + double(right[i]) * right[i];
        return dB(std::sqrt(sum / double(2 * tenth)));
    };
    for (int i = 0; i < 3; ++i)
        level();
    const double before = level();
    if (clicked >= 0) {
        output.noteOn(clicked, chord::NoteVelocity);
        level();
        output.noteOff(clicked);
    }
    for (int i = 0; i < 3; ++i)
        level();
    const double after = level();
    QCOMPARE_LT(std::abs(after - before), 1.0);
}

void tst_ChordSound::handedOverWhileRendering_data()
{
    QTest::addColumn<int>("notes"); // handed over one after another, each ahead of the clock
    QTest::addColumn<bool>("cancelled"); // each, right after it is handed over

    QTest::newRow("one note") << 1 << false;
    QTest::newRow("a run of notes") << 40 << false;
    QTest::newRow("each note cancelled") << 40 << true;
}

// An audio driver's thread renders on while the owner's thread hands notes
// over and cancels them, as a song does; each note still sounds on the
// grid line it was given, and a cancelled one never sounds. Run under the
// sanitizers, this is also the check that the hand-over is free of races.
void tst_ChordSound::handedOverWhileRendering()
{
    QFETCH(int, notes);
    QFETCH(bool, cancelled);

    sound::Opened opened = sound::openOutput({QStringLiteral(MODULE_DIR)}, sound::Target::Buffer);
    QVERIFY2(opened.output, qPrintable(opened.reason));
    sound::SoundOutput &output = *opened.output;
    const int grid = output.frameGrid();
    // Each note is handed over this far ahead of where the driver may render
    // to; the driver renders on towards it meanwhile.
    constexpr std::int64_t LeadLines = 16;
    constexpr std::int64_t SpacingLines = 8;
    const auto frames = std::size_t((notes * SpacingLines + 2 * LeadLines) * grid);
    std::vector<float> left(frames), right(frames);
    std::atomic<std::size_t> allowed = 0;
    std::thread driver([&] {
        for (std::size_t done = 0; done < frames;) {
            const std::size_t count = std::min(ChunkFrames, allowed.load() - done);
            if (count == 0) {
                std::this_thread::yield();
                continue;
            }
            output.render(
                std::span(left).subspan(done, count), std::span(right).subspan(done, count));
            done += count;
        }
    });
    std::vector<std::int64_t> lines;
    for (std::int64_t i = 0; i < notes; ++i) {
        const std::int64_t line = (i + 1) * SpacingLines + LeadLines;
        const sound::TimedNote note[] {
            {line * grid, chord::PercussionChannel, chord::ClickNote, chord::NoteVelocity}};
        output.schedule(note);
        if (cancelled)
            output.cancelScheduled();
        lines.push_back(line);
        allowed = std::size_t((line - LeadLines / 2) * grid);
    }
    allowed = frames;
    driver.join();
    QCOMPARE(output.framesPlayed(), std::int64_t(frames));

    // Each note sounds within the grid block of its line; cancelled, never.
    const auto sounding = [&](std::size_t frame) {
        return std::abs(left[frame]) >= Audible || std::abs(right[frame]) >= Audible;
    };
    if (cancelled) {
        for (std::size_t frame = 0; frame < frames; ++frame)
            QVERIFY2(!sounding(frame), qPrintable(QStringLiteral("sound at frame %1").arg(frame)));
        return;
    }
    for (const std::int64_t line : lines) {
        const auto start = std::size_t(line * grid);
        QVERIFY2(!sounding(start - 1) || line > lines.front(), "sound before the first line");
        QVERIFY2(sounding(start + std::size_t(grid) - 1),
            qPrintable(QStringLiteral("silent on line %1").arg(line)));
    }
}

QTEST_GUILESS_MAIN(tst_ChordSound)
#include "tst_chordsound.moc"
