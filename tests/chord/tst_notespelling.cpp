#include "notespelling.h"

#include <QTest>

class tst_NoteSpelling : public QObject
{
    Q_OBJECT
private slots:
    void spelling_data();
    void spelling();
};

void tst_NoteSpelling::spelling_data()
{
    QTest::addColumn<QString>("root");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("notes");
    QTest::newRow("C major") << "C"
                             << ""
                             << "C, E, G";
    QTest::newRow("minor third spelled as the buttons do") << "C"
                                                           << "m"
                                                           << "C, D#, G";
    QTest::newRow("Bb7 keeps the flats") << "Bb"
                                         << "7"
                                         << "Bb, D, F, Ab";
    QTest::newRow("A#7 keeps the sharps") << "A#"
                                          << "7"
                                          << "A#, D, F, G#";
    QTest::newRow("notes past the octave") << "B"
                                           << "7"
                                           << "B, D#, F#, A";
    QTest::newRow("add9: the ninth lies under the third") << "C"
                                                          << "add9"
                                                          << "C, D, E, G";
    QTest::newRow("Gbaug") << "Gb"
                           << "aug"
                           << "Gb, Bb, D";
    QTest::newRow("Ebm7-5") << "Eb"
                            << "m7-5"
                            << "Eb, Gb, A, Db";
    QTest::newRow("unknown root") << "H"
                                  << "m"
                                  << "";
    QTest::newRow("lower-case flat is no root") << "bb"
                                                << ""
                                                << "";
    QTest::newRow("unknown kind") << "C"
                                  << "maj7"
                                  << "";
}

void tst_NoteSpelling::spelling()
{
    QFETCH(QString, root);
    QFETCH(QString, kind);
    QFETCH(QString, notes);
    const std::string spelled = chord::spellChordNotes(root.toStdString(), kind.toStdString());
    QCOMPARE(QString::fromStdString(spelled), notes);
}

QTEST_APPLESS_MAIN(tst_NoteSpelling)
#include "tst_notespelling.moc"
