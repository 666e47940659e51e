#include "chordtables.h"
#include "placement.h"

#include <QTest>

using Notes = QList<int>;

namespace
{
Notes notesOf(const chord::ChordPlacement &p)
{
    return Notes(p.notes.begin(), p.notes.end());
}
QByteArray utf8(const QString &s)
{
    return s.toUtf8();
}
} // namespace

class tst_ChordTables : public QObject
{
    Q_OBJECT
private slots:
    void everyRoot_data();
    void everyRoot();
    void everyKind_data();
    void everyKind();
    void noteSets_data();
    void noteSets();
    void unrecognised_data();
    void unrecognised();
    void hostileBytes();
};

// Expected values are written out here, not read back from the tables.
void tst_ChordTables::everyRoot_data()
{
    QTest::addColumn<QString>("root");
    QTest::addColumn<int>("pitchClass");
    const std::pair<const char *, int> rows[] = {
        {"C", 0},
        {"C#", 1},
        {"D", 2},
        {"D#", 3},
        {"E", 4},
        {"F", 5},
        {"F#", 6},
        {"G", 7},
        {"G#", 8},
        {"A", 9},
        {"A#", 10},
        {"B", 11},
        {"Db", 1},
        {"Eb", 3},
        {"Gb", 6},
        {"Ab", 8},
        {"Bb", 10},
    };
    for (const auto &[root, pc] : rows)
        QTest::newRow(root) << QString::fromLatin1(root) << pc;
}

void tst_ChordTables::everyRoot()
{
    QFETCH(QString, root);
    QFETCH(int, pitchClass);
    const auto p = chord::placeChord(utf8(root).toStdString(), "m");
    QVERIFY(p.rootRecognised);
    QVERIFY(p.kindRecognised);
    QCOMPARE(p.notes[0], pitchClass);
    QCOMPARE(chord::lookupRoot(utf8(root).toStdString()), std::optional<int>(pitchClass));
}

void tst_ChordTables::everyKind_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<Notes>("notesOnC");
    QTest::newRow("major (empty)") << "" << Notes {0, 4, 7, 0};
    QTest::newRow("m") << "m" << Notes {0, 3, 7, 0};
    QTest::newRow("7") << "7" << Notes {0, 4, 7, 10};
    QTest::newRow("m7") << "m7" << Notes {0, 3, 7, 10};
    QTest::newRow("M7") << "M7" << Notes {0, 4, 7, 11};
    QTest::newRow("dim") << "dim" << Notes {0, 3, 6, 9};
    QTest::newRow("m7-5") << "m7-5" << Notes {0, 3, 6, 10};
    QTest::newRow("aug") << "aug" << Notes {0, 4, 8, 0};
    QTest::newRow("sus4") << "sus4" << Notes {0, 5, 7, 0};
    QTest::newRow("7sus4") << "7sus4" << Notes {0, 5, 7, 10};
    QTest::newRow("6") << "6" << Notes {0, 4, 7, 9};
    QTest::newRow("add9: the third stays") << "add9" << Notes {0, 4, 7, 2};
    QTest::newRow("m6") << "m6" << Notes {0, 3, 7, 9};
    QTest::newRow("mM7") << "mM7" << Notes {0, 3, 7, 11};
}

void tst_ChordTables::everyKind()
{
    QFETCH(QString, kind);
    QFETCH(Notes, notesOnC);
    const auto p = chord::placeChord("C", utf8(kind).toStdString());
    QVERIFY(p.rootRecognised);
    QVERIFY(p.kindRecognised);
    QCOMPARE(notesOf(p), notesOnC);
}

void tst_ChordTables::noteSets_data()
{
    QTest::addColumn<QString>("root");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<Notes>("notes");
    QTest::addColumn<bool>("rootOk");
    QTest::addColumn<bool>("kindOk");
    QTest::newRow("C major") << "C"
                             << "" << Notes {0, 4, 7, 0} << true << true;
    QTest::newRow("Bb m7") << "Bb"
                           << "m7" << Notes {10, 13, 17, 20} << true << true;
    QTest::newRow("A# m7 equals Bb m7") << "A#"
                                        << "m7" << Notes {10, 13, 17, 20} << true << true;
    QTest::newRow("B mM7: the largest value") << "B"
                                              << "mM7" << Notes {11, 14, 18, 22} << true << true;
    QTest::newRow("B M7") << "B"
                          << "M7" << Notes {11, 15, 18, 22} << true << true;
    QTest::newRow("B add9: ninth in the root's octave")
        << "B"
        << "add9" << Notes {11, 15, 18, 13} << true << true;
    QTest::newRow("A# add9") << "A#"
                             << "add9" << Notes {10, 14, 17, 12} << true << true;
    QTest::newRow("C dim: four notes") << "C"
                                       << "dim" << Notes {0, 3, 6, 9} << true << true;
    QTest::newRow("lower-case c with m") << "c"
                                         << "m" << Notes {0, 3, 7, 0} << false << true;
    QTest::newRow("E with unknown kind") << "E"
                                         << "maj7" << Notes {4, 4, 4, 4} << true << false;
    QTest::newRow("empty root, empty kind") << ""
                                            << "" << Notes {0, 4, 7, 0} << false << true;
    QTest::newRow("both unknown") << "H"
                                  << "x" << Notes {0, 0, 0, 0} << false << false;
    QTest::newRow("M7 is not m7") << "D"
                                  << "M7" << Notes {2, 6, 9, 13} << true << true;
    QTest::newRow("m7 is not M7") << "D"
                                  << "m7" << Notes {2, 5, 9, 12} << true << true;
}

void tst_ChordTables::noteSets()
{
    QFETCH(QString, root);
    QFETCH(QString, kind);
    QFETCH(Notes, notes);
    QFETCH(bool, rootOk);
    QFETCH(bool, kindOk);
    const auto p = chord::placeChord(utf8(root).toStdString(), utf8(kind).toStdString());
    QCOMPARE(notesOf(p), notes);
    QCOMPARE(p.rootRecognised, rootOk);
    QCOMPARE(p.kindRecognised, kindOk);
}

// Texts that resemble a name but are not one: nothing is trimmed or folded.
void tst_ChordTables::unrecognised_data()
{
    QTest::addColumn<QString>("root");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("rootOk");
    QTest::addColumn<bool>("kindOk");
    QTest::newRow("lower-case bb") << "bb"
                                   << "7" << false << true;
    QTest::newRow("trailing blank on root") << "G "
                                            << "m" << false << true;
    QTest::newRow("leading blank on root") << " G"
                                           << "m" << false << true;
    QTest::newRow("trailing blank on kind") << "G"
                                            << "m " << true << false;
    QTest::newRow("full-width C") << QString::fromUtf8("Ｃ") << "m" << false << true;
    QTest::newRow("full-width sharp") << QString::fromUtf8("C＃") << "m" << false << true;
    QTest::newRow("music sharp") << QString::fromUtf8("C♯") << "m" << false << true;
    QTest::newRow("music flat") << QString::fromUtf8("B♭") << "m" << false << true;
    QTest::newRow("full-width m") << "C" << QString::fromUtf8("ｍ") << true << false;
    QTest::newRow("no flat of C") << "Cb"
                                  << "" << false << true;
    QTest::newRow("no sharp of E") << "E#"
                                   << "" << false << true;
    QTest::newRow("H is not B") << "H"
                                << "" << false << true;
    QTest::newRow("MAJ7 case") << "C"
                               << "maj7" << true << false;
    QTest::newRow("empty root") << ""
                                << "m" << false << true;
}

void tst_ChordTables::unrecognised()
{
    QFETCH(QString, root);
    QFETCH(QString, kind);
    QFETCH(bool, rootOk);
    QFETCH(bool, kindOk);
    const auto p = chord::placeChord(utf8(root).toStdString(), utf8(kind).toStdString());
    QCOMPARE(p.rootRecognised, rootOk);
    QCOMPARE(p.kindRecognised, kindOk);
}

void tst_ChordTables::hostileBytes()
{
    using namespace std::string_view_literals;
    const std::string huge(1 << 20, 'C');
    const std::string_view texts[] = {
        "\xff\xfe"sv,
        "C\x80"sv,
        "\xc3"sv,
        "C\0"sv,
        "\0"sv,
        "m\0"sv,
        huge,
    };
    for (const auto text : texts) {
        const auto asRoot = chord::placeChord(text, "m");
        QVERIFY(!asRoot.rootRecognised);
        QCOMPARE(notesOf(asRoot), (Notes {0, 3, 7, 0}));
        const auto asKind = chord::placeChord("E", text);
        QVERIFY(!asKind.kindRecognised);
        QCOMPARE(notesOf(asKind), (Notes {4, 4, 4, 4}));
    }
}

QTEST_APPLESS_MAIN(tst_ChordTables)
#include "tst_chordtables.moc"
