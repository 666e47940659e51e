#include "chordnamer.h"
#include "chordtables.h"

#include <QTest>

#include <vector>

Q_DECLARE_METATYPE(std::vector<int>)

namespace
{
constexpr int MiddleC = 60;
// Musical facts, not the namer's rule: these kinds spell the same notes as
// another name, whose root lies this many semitones above their own.
struct Twin {
    std::string_view kind, twinKind;
    int twinRootAbove;
};
constexpr Twin Twins[] = {{"6", "m7", 9}, {"m7", "6", 3}, {"m6", "m7-5", 9}, {"m7-5", "m6", 3}};
// Every note of these is a root of the same kind.
constexpr std::string_view Symmetric[] = {"dim", "aug"};

auto tableIndex(std::string_view kind)
{
    return std::ranges::find(chord::ChordKind, kind, &chord::KindRow::text)
        - chord::ChordKind.begin();
}

std::string_view buttonRoot(int pitchClass)
{
    return chord::ChordRoot[std::size_t(pitchClass % 12)].text;
}
} // namespace

class tst_ChordNamer : public QObject
{
    Q_OBJECT
private slots:
    void everyNameInEveryInversion_data();
    void everyNameInEveryInversion();
    void chosenSets_data();
    void chosenSets();
};

// Each chord of the 168, with each of its notes at the bottom, the others
// stacked above it, some spread over two octaves and some doubled.
void tst_ChordNamer::everyNameInEveryInversion_data()
{
    QTest::addColumn<std::vector<int>>("notes");
    QTest::addColumn<QString>("root");
    QTest::addColumn<QString>("kind");
    for (int r = 0; r < 12; ++r) {
        for (const chord::KindRow &kind : chord::ChordKind) {
            std::vector<int> pcs {0};
            for (const int o : kind.offsets)
                if (o % 12 != 0)
                    pcs.push_back(o);
            for (std::size_t bass = 0; bass < pcs.size(); ++bass) {
                std::vector<int> notes;
                const int low = MiddleC - 12 + r + pcs[bass];
                for (std::size_t i = 0; i < pcs.size(); ++i) {
                    int n = MiddleC - 12 + r + pcs[i];
                    while (n < low)
                        n += 12;
                    notes.push_back(n + (i != bass && i % 2 == 1 ? 12 : 0)); // open voicing
                }
                notes.push_back(low + 24); // the bass doubled two octaves up
                const int bassPc = (r + pcs[bass]) % 12;
                QString root = QString::fromLatin1(buttonRoot(r).data());
                QString kindText = QString::fromLatin1(kind.text.data(), kind.text.size());
                for (const Twin &t : Twins) {
                    // The twin's root in the bass names the twin; neither root
                    // in the bass, the kind first in the table.
                    const bool twinBass = bassPc == (r + t.twinRootAbove) % 12;
                    if (t.kind == kind.text
                        && (twinBass
                            || (bass != 0 && tableIndex(t.twinKind) < tableIndex(t.kind)))) {
                        root = QString::fromLatin1(buttonRoot(r + t.twinRootAbove).data());
                        kindText = QString::fromLatin1(t.twinKind.data(), t.twinKind.size());
                    }
                }
                if (std::ranges::find(Symmetric, kind.text) != std::end(Symmetric))
                    root = QString::fromLatin1(buttonRoot(bassPc).data());
                QTest::addRow("%s%s bass %d", buttonRoot(r).data(), kind.text.data(), int(bass))
                    << notes << root << kindText;
            }
        }
    }
}

void tst_ChordNamer::everyNameInEveryInversion()
{
    QFETCH(std::vector<int>, notes);
    QFETCH(QString, root);
    QFETCH(QString, kind);
    const auto name = chord::nameChord(notes);
    QVERIFY(name);
    QCOMPARE(QString::fromLatin1(name->root.data(), name->root.size()), root);
    QCOMPARE(QString::fromLatin1(name->kind.data(), name->kind.size()), kind);
}

void tst_ChordNamer::chosenSets_data()
{
    QTest::addColumn<std::vector<int>>("notes");
    QTest::addColumn<bool>("missingFifth");
    QTest::addColumn<QString>("names"); // root + kind, best first; empty for nothing
    // C = 60 ... B = 71
    QTest::newRow("C6 with C lowest") << std::vector {60, 64, 67, 69} << false << "C6 Am7";
    QTest::newRow("Am7 with A lowest") << std::vector {57, 60, 64, 67} << false << "Am7 C6";
    QTest::newRow("same notes, E lowest: first in table, m7")
        << std::vector {64, 67, 69, 72} << false << "Am7 C6";
    QTest::newRow("Cm6 with C lowest") << std::vector {60, 63, 67, 69} << false << "Cm6 Am7-5";
    QTest::newRow("Am7-5 with A lowest") << std::vector {57, 60, 63, 67} << false << "Am7-5 Cm6";
    QTest::newRow("augmented on G#, then roots in button order")
        << std::vector {56, 60, 64} << false << "G#aug Caug Eaug";
    QTest::newRow("diminished on D#")
        << std::vector {63, 66, 69, 72} << false << "D#dim Cdim F#dim Adim";
    QTest::newRow("C7 without fifth, option off") << std::vector {60, 64, 70} << false << "";
    QTest::newRow("C7 without fifth, option on") << std::vector {60, 64, 70} << true << "C7";
    QTest::newRow("Dm7 shell, option on") << std::vector {50, 65, 72} << true << "Dm7";
    QTest::newRow("CM7 without fifth, option on") << std::vector {48, 64, 71} << true << "CM7";
    QTest::newRow("full chord beats a fifthless one, lowest root or not")
        << std::vector {60, 64, 69} << true << "Am C6";
    QTest::newRow("fifthless names only with the option")
        << std::vector {60, 64, 69} << false << "Am";
    QTest::newRow("Cm6 without fifth, option on") << std::vector {60, 63, 69} << true << "Cm6";
    QTest::newRow("a bare third is no chord") << std::vector {60, 64} << true << "";
    QTest::newRow("nothing held") << std::vector<int> {} << true << "";
    QTest::newRow("one note") << std::vector {60} << false << "";
    QTest::newRow("an octave") << std::vector {60, 72} << false << "";
    QTest::newRow("a cluster") << std::vector {60, 61, 62} << false << "";
    QTest::newRow("five notes, C9") << std::vector {60, 62, 64, 67, 70} << true << "";
    QTest::newRow("lowest MIDI notes, one name") << std::vector {0, 4, 7} << false << "C";
}

void tst_ChordNamer::chosenSets()
{
    QFETCH(std::vector<int>, notes);
    QFETCH(bool, missingFifth);
    QFETCH(QString, names);
    const chord::NamingOptions options {.acceptMissingFifth = missingFifth};
    const auto text = [](const chord::ChordName &name) {
        return QString::fromLatin1(name.root.data(), name.root.size())
            + QString::fromLatin1(name.kind.data(), name.kind.size());
    };
    QStringList got;
    for (const chord::ChordName &name : chord::chordNames(notes, options))
        got << text(name);
    QCOMPARE(got.join(u' '), names);
    const auto best = chord::nameChord(notes, options);
    QCOMPARE(best ? text(*best) : QString(), got.value(0));
}

QTEST_APPLESS_MAIN(tst_ChordNamer)
#include "tst_chordnamer.moc"
