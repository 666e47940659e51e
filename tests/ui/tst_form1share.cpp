#include "form1fixture.h"

#include <QSettings>

#include <unistd.h>

namespace
{
const QByteArray Song = slotFile({{0, "C", ""}, {1, "A", "m7"}, {3, "H", ""}});

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}
} // namespace

// The song shared from the window: exported as a file, and a ChordPro song
// imported into the memo as one step; the memo's own file is never a ChordPro one.
class tst_Form1Share : public QObject
{
    Q_OBJECT
private slots:
    void exports_data();
    void exports();
    void neverOverwritesTheMemo_data();
    void neverOverwritesTheMemo();
    void roundTripKeepsEveryBar_data();
    void roundTripKeepsEveryBar();
    void imports_data();
    void imports();
    void chordProIsNoMemo();

private:
    Form1Fixture f;
};

void tst_Form1Share::exports_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("starts");
    QTest::newRow("text, the empty box writes nothing") << "out.txt" << QByteArray("C Am7 H\n");
    QTest::newRow("ChordPro titled by the memo") << "out.cho" << QByteArray("{title: code}\n");
    QTest::newRow("MIDI file") << "out.mid" << QByteArray("MThd");
    QTest::newRow("PDF") << "out.pdf" << QByteArray("%PDF");
    QTest::newRow("PNG") << "OUT.PNG" << QByteArray("\x89PNG");
}

void tst_Form1Share::exports()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, starts);
    QVERIFY(f.open(&Song));
    const QString path = f.dirPath() + u'/' + file;
    f.form()->exportTo(path);
    QTRY_VERIFY(readFile(path).startsWith(starts));
    QCOMPARE(f.savedFile(), Song);
}

void tst_Form1Share::neverOverwritesTheMemo_data()
{
    QTest::addColumn<bool>("hard"); // the link that names the memo as text

    QTest::newRow("through a symbolic link") << false;
    QTest::newRow("through a hard link") << true;
}

void tst_Form1Share::neverOverwritesTheMemo()
{
    QFETCH(bool, hard);
    QVERIFY(f.open(&Song));
    const QByteArray memo = QFile::encodeName(f.dirPath() + QStringLiteral("/code.dat"));
    const QString path = f.dirPath() + QStringLiteral("/memo.txt");
    const QByteArray native = QFile::encodeName(path);
    QCOMPARE(hard ? ::link(memo, native) : ::symlink(memo, native), 0);

    f.form()->exportTo(path);
    const auto *line = f.control<QLabel>(QStringLiteral("lblnotice"));
    QTRY_VERIFY(line->isVisible());
    QCOMPARE(line->text(),
        QStringLiteral("「memo.txt」は開いているメモです: 別の名前に書き出してください"));
    QTest::qWait(100); // nothing is written later either
    QCOMPARE(f.savedFile(), Song);
    QCOMPARE(readFile(path), Song);
}

void tst_Form1Share::roundTripKeepsEveryBar_data()
{
    QTest::addColumn<QByteArray>("memo");
    QTest::newRow("a rest between chords") << Song;
    QTest::newRow("rests first, an unknown chord, rests after the last")
        << slotFile({{2, "G", ""}, {3, "X", ""}, {5, "D", "m"}, {28, "E", "7"}});
    QTest::newRow("kinds written in the standard spelling, and a name beyond the tables")
        << slotFile({{0, "Bb", "M7"}, {1, "A", "m7-5"}, {2, "C", "dim"}, {3, "D", "mM7"},
               {4, "G", "9"}});
}

// Exported as ChordPro, then imported into an empty memo: the same boxes.
void tst_Form1Share::roundTripKeepsEveryBar()
{
    QFETCH(QByteArray, memo);
    QVERIFY(f.open(&memo));
    const QString exported = f.dirPath() + QStringLiteral("/song.cho");
    f.form()->exportTo(exported);
    QTRY_VERIFY(readFile(exported).startsWith("{title"));
    const QByteArray chordPro = readFile(exported);

    const QByteArray empty = slotFile({});
    QVERIFY(f.open(&empty));
    QFile file(f.dirPath() + QStringLiteral("/song.cho"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(chordPro) == chordPro.size());
    file.close();
    f.form()->importFrom(file.fileName());
    QTRY_COMPARE(f.savedFile(), memo);
}

void tst_Form1Share::imports_data()
{
    QTest::addColumn<QByteArray>("chordPro");
    QTest::addColumn<QByteArray>("saved"); // the memo file once imported
    QTest::addColumn<QString>("notice"); // the line over the boxes, if any
    QTest::addColumn<int>("tempo"); // kept for the memo afterwards

    QByteArray many = "{title: Long}\n";
    for (int i = 0; i < 32; ++i)
        many += "[G]la ";
    QList<SlotChord> thirty;
    for (int k = 0; k < 30; ++k)
        thirty << SlotChord {k, "G", ""};
    QTest::newRow("chords in order, in the program's own spelling")
        << QByteArray("{t: Song}\n{tempo: 96}\n# a comment [X]\n[Am7]Hel[D]lo [Bbm7b5]there\n")
        << slotFile({{0, "A", "m7"}, {1, "D", ""}, {2, "Bb", "m7-5"}}) << QString() << 96;
    QTest::newRow("lyrics alone: refused, the memo stays")
        << QByteArray("{title: Words}\n{tempo: 80}\nNo chords [*Coda] here\n") << Song
        << "読み込んだファイルにはコードがありません: メモはそのままです" << 0;
    QTest::newRow("more than 30: the first 30, and how many were left")
        << many << slotFile(thirty) << "メモは 30 個までです: 2 個のコードは読み込んでいません"
        << 120;
}

void tst_Form1Share::imports()
{
    QFETCH(QByteArray, chordPro);
    QFETCH(QByteArray, saved);
    QFETCH(QString, notice);
    QFETCH(int, tempo);
    const QTemporaryDir settingsDir;
    QSettings settings(settingsDir.filePath(QStringLiteral("share.conf")), QSettings::IniFormat);
    QVERIFY(f.open(&Song, {}, {.settings = &settings}));
    const QString path = f.dirPath() + QStringLiteral("/song.cho");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(chordPro) == chordPro.size());
    file.close();

    f.form()->importFrom(path);
    const auto *line = f.control<QLabel>(QStringLiteral("lblnotice"));
    if (!notice.isEmpty())
        QTRY_VERIFY(line->isVisible());
    QTRY_COMPARE(f.savedFile(), saved);
    QCOMPARE(line->isVisible() ? line->text() : QString(), notice);
    const QString tempoKey = QStringLiteral("songs/%1/tempo")
                                 .arg(QString::fromLatin1(QUrl::toPercentEncoding(
                                     f.dirPath() + QStringLiteral("/code.dat"))));
    QCOMPARE(settings.value(tempoKey).toInt(), tempo);
    // One step: the memo comes back whole, and the tempo it had.
    QTest::keyClick(f.form(), Qt::Key_Z, Qt::ControlModifier);
    QTRY_COMPARE(f.savedFile(), Song);
    QVERIFY(settings.value(tempoKey, song::DefaultTempo).toInt() == song::DefaultTempo);
}

void tst_Form1Share::chordProIsNoMemo()
{
    memofile::DiskMemo memo;
    const Form1 form(QStringLiteral("song.cho"), {.keeper = &memo.keeper()});
    QVERIFY(form.loadError());
    QVERIFY(form.loadError()->reason.contains(QStringLiteral("インポート")));
}

QTEST_MAIN(tst_Form1Share)
#include "tst_form1share.moc"
