#include "keypick.h"

#include <QTest>

namespace
{
constexpr int Clear = 1000; // a step that clears the pick instead of toggling a key
// Semitones above C3.
constexpr int C3 = 0, E3 = 4, G3 = 7, A3 = 9, C4 = 12, E4 = 16, G4 = 19, B4 = 23;
} // namespace

class tst_KeyPick : public QObject
{
    Q_OBJECT
private slots:
    void pick_data();
    void pick();
    void spokenNames_data();
    void spokenNames();
};

void tst_KeyPick::pick_data()
{
    QTest::addColumn<QList<int>>("steps");
    QTest::addColumn<QList<int>>("notes");
    QTest::addColumn<QString>("names"); // best first; empty for no name
    QTest::newRow("E3 G3 C4 is C, clicked in any order")
        << QList {C4, E3, G3} << QList {E3, G3, C4} << "C";
    QTest::newRow("A3 C4 E4 G4: Am7, also C6")
        << QList {A3, C4, E4, G4} << QList {A3, C4, E4, G4} << "Am7 C6";
    QTest::newRow("C3 E3 G3 A3: C6, also Am7")
        << QList {C3, E3, G3, A3} << QList {C3, E3, G3, A3} << "C6 Am7";
    QTest::newRow("two notes name nothing") << QList {C3, E3} << QList {C3, E3} << "";
    QTest::newRow("E3 and E4 are two notes, still no chord")
        << QList {C3, E3, E4} << QList {C3, E3, E4} << "";
    QTest::newRow("a note toggled back") << QList {C3, E3, G3, G3} << QList {C3, E3} << "";
    QTest::newRow("toggled back and again")
        << QList {C3, E3, G3, E3, E3} << QList {C3, E3, G3} << "C";
    QTest::newRow("clear lets every note go") << QList {C3, E3, G3, Clear} << QList<int> {} << "";
    QTest::newRow("picked again after a clear")
        << QList {C3, E3, G3, Clear, A3, C4, E4} << QList {A3, C4, E4} << "Am";
    QTest::newRow("the top key counts, keys off the keyboard do not")
        << QList {C3, E3, G3, B4, -1, B4 + 1} << QList {C3, E3, G3, B4} << "CM7";
}

void tst_KeyPick::pick()
{
    QFETCH(QList<int>, steps);
    QFETCH(QList<int>, notes);
    QFETCH(QString, names);
    chord::KeyPick pick;
    for (const int step : steps) {
        if (step == Clear)
            pick.clear();
        else
            pick.toggle(step);
    }
    const std::vector<int> picked = pick.notes();
    QCOMPARE(QList<int>(picked.begin(), picked.end()), notes);
    QCOMPARE(pick.isEmpty(), notes.isEmpty());
    for (int key = -1; key <= chord::KeyboardKeys; ++key)
        QCOMPARE(pick.isPicked(key), notes.contains(key));
    QStringList got;
    for (const chord::ChordName &name : pick.names())
        got << QString::fromLatin1(name.root.data(), name.root.size())
                + QString::fromLatin1(name.kind.data(), name.kind.size());
    QCOMPARE(got.join(u' '), names);
}

void tst_KeyPick::spokenNames_data()
{
    QTest::addColumn<int>("semitone");
    QTest::addColumn<QString>("name");
    QTest::newRow("lowest C") << C3 << "C3";
    QTest::newRow("a black key, sharp as on its button") << 10 << "A#3";
    QTest::newRow("the upper octave") << 13 << "C#4";
    QTest::newRow("top B") << B4 << "B4";
    QTest::newRow("off the keyboard") << B4 + 1 << "";
}

void tst_KeyPick::spokenNames()
{
    QFETCH(int, semitone);
    QFETCH(QString, name);
    QCOMPARE(QString::fromStdString(chord::keyNoteName(semitone)), name);
}

QTEST_APPLESS_MAIN(tst_KeyPick)
#include "tst_keypick.moc"
