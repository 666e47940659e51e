#include "chordplayer.h"
#include "chordtables.h"
#include "midinotes.h"
#include "pitchcheck.h"
#include "placement.h"

#include <QTest>

#include <vector>

// The module renders chords into a buffer, and the pitch check hears in it
// exactly the chord's notes: not the chord a semitone or an octave off, nor
// with a note too many.
class tst_ChordSound : public QObject
{
    Q_OBJECT
private slots:
    void soundsExactlyTheChord_data();
    void soundsExactlyTheChord();
};

namespace
{
constexpr double RenderSeconds = 0.7;
}

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

QTEST_GUILESS_MAIN(tst_ChordSound)
#include "tst_chordsound.moc"
