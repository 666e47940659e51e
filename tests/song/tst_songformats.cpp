#include "songfixture.h"
#include "songformats.h"

#include <QFileInfo>
#include <QTest>

class tst_SongFormats : public QObject
{
    Q_OBJECT
private slots:
    void byPath_data();
    void byPath();
};

namespace
{
constexpr int None = -1;
}

void tst_SongFormats::byPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("format"); // a SongFormat, or None
    QTest::addColumn<bool>("readAsChordPro");
    QTest::addColumn<QByteArray>("written"); // how the writer's bytes begin; empty: no writer

    using F = song::SongFormat;
    QTest::newRow(".cho") << "song.cho" << int(F::ChordPro) << true << QByteArray("{title: S}\n");
    QTest::newRow(".chordpro in capitals")
        << "/x/Song.CHORDPRO" << int(F::ChordPro) << true << QByteArray("{title: S}\n");
    QTest::newRow(".mid") << "a.Mid" << int(F::Midi) << false << QByteArray("MThd");
    QTest::newRow(".pdf is drawn") << "sheet.pdf" << int(F::Pdf) << false << QByteArray();
    QTest::newRow(".png is drawn") << "sheet.PNG" << int(F::Png) << false << QByteArray();
    QTest::newRow(".wav is rendered") << "take.wav" << int(F::Wav) << false << QByteArray();
    QTest::newRow(".txt") << "chords.txt" << int(F::Text) << false
                          << QByteArray("Key: C\nC(I) Am(VIm)\n");
    QTest::newRow(".chopro is read, not written") << "x.chopro" << None << true << QByteArray();
    QTest::newRow(".crd in capitals") << "x.CRD" << None << true << QByteArray();
    QTest::newRow(".midi is not .mid") << "a.midi" << None << false << QByteArray();
    QTest::newRow("only the last extension counts")
        << "song.cho.bak" << None << false << QByteArray();
    QTest::newRow("an extension on the folder only")
        << "dir.cho/file" << None << false << QByteArray();
    QTest::newRow("the memo") << "code.dat" << None << false << QByteArray();
}

void tst_SongFormats::byPath()
{
    QFETCH(QString, path);
    QFETCH(int, format);
    QFETCH(bool, readAsChordPro);
    QFETCH(QByteArray, written);

    const std::optional<song::SongFormat> found = song::formatOfPath(path);
    QCOMPARE(found ? int(*found) : None, format);
    QCOMPARE(song::readsAsChordPro(path), readAsChordPro);
    if (!found)
        return;
    const QString extension = QFileInfo(path).suffix().toLower();
    QVERIFY(song::formatNames().split(QStringLiteral(", ")).contains(u'.' + extension));
    QVERIFY(song::saveFilters().filter(QStringLiteral("*.") + extension).size() == 1);
    const song::ByteWriter writer = song::byteWriter(*found);
    QCOMPARE(writer != nullptr, !written.isEmpty());
    if (writer)
        QVERIFY(writer(songOf({{"C"}, {"A", "m"}}, "S"), 0).startsWith(written));
}

QTEST_GUILESS_MAIN(tst_SongFormats)
#include "tst_songformats.moc"
