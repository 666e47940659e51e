#include "memoedit.h"
#include "songfixture.h"
#include "songtext.h"

#include <QTest>

class tst_SongText : public QObject
{
    Q_OBJECT
private slots:
    void write_data();
    void write();
    void pastesBack_data();
    void pastesBack();
};

void tst_SongText::write_data()
{
    QTest::addColumn<song::Song>("song");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("no bars: nothing") << songOf({}) << QByteArray();
    QTest::newRow("known chords, H and an empty box")
        << songOf({{"C"}, {"H"}, {}, {"A", "m7"}}) << QByteArray("Key: C\nC(I) H Am7(VIm7)\n");
    QTest::newRow("a line per row of the memo grid")
        << songOf(twoRows())
        << QByteArray("Key: C\nC(I) Am(VIm) F(IV) G7(V7) Em(IIIm) Am7(VIm7) Dm7(IIm7) G7(V7) "
                      "CM7(IM7) Bb(bVII)\nF#m7-5(#IVm7-5) B7(VII7)\n");
    Boxes secondRowEmpty(20);
    secondRowEmpty.first() = {"D"};
    secondRowEmpty << QStringList {"E"};
    QTest::newRow("an empty row is an empty line")
        << songOf(secondRowEmpty) << QByteArray("Key: D\nD(I)\n\nE(II)\n");
    QTest::newRow("line breaks in a box become spaces")
        << songOf({{"C", "m\n7"}, {"N.C.\r"}}) << QByteArray("Key: ?\nCm 7 N.C. \n");
    QTest::newRow("a section starts a line with its name; lengths count bars")
        << shaped(songOf({{"C"}, {"G"}, {"D"}, {"A", "m"}, {"F"}, {"E"}, {"A"}}), {0, 2, 2, 36},
               {{0, "A"}, {4, "サビ\n"}})
        << QByteArray("Key: C\nA: C(I) G(V) D(II) Am(VIm)\nサビ : F(IV) E(III) A(VI)\n");
    QTest::newRow("a chord of eleven bars puts the next on the next line")
        << shaped(songOf({{"C"}, {"G"}}), {44}) << QByteArray("Key: C\nC(I)\nG(V)\n");
    QTest::newRow("the song's own minor key, flats") << [] {
        song::Song s = songOf({{"D", "m"}, {"Bb"}, {"A", "7"}});
        s.key = chord::Key {2, true};
        return s;
    }() << QByteArray("Key: Dm\nDm(Im) Bb(bVI) A7(V7)\n");
    QTest::newRow("UTF-8") << songOf({{"ド", "♭"}}) << QByteArray("Key: ?\nド♭\n");
}

void tst_SongText::write()
{
    QFETCH(song::Song, song);
    QFETCH(QByteArray, text);
    QCOMPARE(song::songTextBytes(song), text);
}

// Pasted into the memo, the text gives back the chords it was written from.
void tst_SongText::pastesBack_data()
{
    QTest::addColumn<song::Song>("song");
    QTest::addColumn<QString>("key"); // the song's own; empty: found

    QTest::newRow("found key, every degree sign and an unknown chord")
        << songOf({{"G"}, {"E", "m7"}, {"Bb"}, {"C#", "m7-5"}, {"H"}, {"C", "mM7"}, {"D", "7sus4"}})
        << "";
    QTest::newRow("chosen minor key, two rows") << songOf(twoRows()) << "Am";
    QTest::newRow("sections") << shaped(
        songOf({{"F"}, {"Bb"}, {"C", "7"}}), {0, 2, 2}, {{0, "A"}, {1, "サビ"}})
                              << "F";
}

void tst_SongText::pastesBack()
{
    QFETCH(song::Song, song);
    QFETCH(QString, key);
    song.key = chord::parseKey(key.toStdString());
    QStringList written, pasted;
    for (const song::Bar &bar : song.bars) {
        if (!bar.isEmpty())
            written << bar.root + u'|' + bar.kind;
    }
    const QString text = QString::fromUtf8(song::songTextBytes(song));
    for (const memo::Box &box : memo::chordsOfText(text, chord::BeyondTables::KeepAsWritten).chords)
        pasted << box.root.text() + u'|' + box.kind.text();
    QCOMPARE(pasted, written);
}

QTEST_GUILESS_MAIN(tst_SongText)
#include "tst_songtext.moc"
