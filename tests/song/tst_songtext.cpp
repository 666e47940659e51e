#include "songfixture.h"
#include "songtext.h"

#include <QTest>

class tst_SongText : public QObject
{
    Q_OBJECT
private slots:
    void write_data();
    void write();
};

void tst_SongText::write_data()
{
    QTest::addColumn<song::Song>("song");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("no bars: nothing") << songOf({}) << QByteArray();
    QTest::newRow("known chords, H and an empty box")
        << songOf({{"C"}, {"H"}, {}, {"A", "m7"}}) << QByteArray("C H Am7\n");
    QTest::newRow("a line per row of the memo grid")
        << songOf(twoRows()) << QByteArray("C Am F G7 Em Am7 Dm7 G7 CM7 Bb\nF#m7-5 B7\n");
    Boxes secondRowEmpty(20);
    secondRowEmpty.first() = {"D"};
    secondRowEmpty << QStringList {"E"};
    QTest::newRow("an empty row is an empty line")
        << songOf(secondRowEmpty) << QByteArray("D\n\nE\n");
    QTest::newRow("line breaks in a box become spaces")
        << songOf({{"C", "m\n7"}, {"N.C.\r"}}) << QByteArray("Cm 7 N.C. \n");
    QTest::newRow("a section starts a line with its name; lengths count bars") << shaped(
        songOf({{"C"}, {"G"}, {"D"}, {"A", "m"}, {"F"}, {"E"}, {"A"}}), {0, 2, 2, 36},
        {{0, "A"}, {4, "サビ\n"}}) << QByteArray("A: C G D Am\nサビ : F E A\n");
    QTest::newRow("a chord of eleven bars puts the next on the next line")
        << shaped(songOf({{"C"}, {"G"}}), {44}) << QByteArray("C\nG\n");
    QTest::newRow("UTF-8") << songOf({{"ド", "♭"}}) << QByteArray("ド♭\n");
}

void tst_SongText::write()
{
    QFETCH(song::Song, song);
    QFETCH(QByteArray, text);
    QCOMPARE(song::songTextBytes(song), text);
}

QTEST_GUILESS_MAIN(tst_SongText)
#include "tst_songtext.moc"
