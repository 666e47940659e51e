#include "beyondtables.h"
#include "chordboxes.h"
#include "chordproreader.h"
#include "fakewindow.h"
#include "form1fixture.h"
#include "memohistory.h"
#include "memomerge.h"
#include "noticeline.h"
#include "songdocument.h"
#include "songsettings.h"
#include "songsettingsstore.h"
#include "songsharing.h"

#include <QSettings>
#include <QUndoStack>

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

// The memo's song shared, against a fake window: what is written, and
// what a ChordPro song makes of the memo: one step of its history.
class Sharing
{
public:
    // The memo in a fresh folder as code.dat, on the disk and in memory.
    Sharing(const QByteArray &file, QSettings *settings = nullptr)
        : memoPath(dir.filePath(QStringLiteral("code.dat")))
        , store(settings, [this] { return memoPath; })
        , notice(&window)
        , question(settings, nullptr, [this](QWidget *, const QStringList &) { return answer; })
        , sharing(&window, &boxes, [this] { return memoPath; }, &store, &notice, &question)
    {
        QFile disk(memoPath);
        if (disk.open(QIODevice::WriteOnly))
            disk.write(file);
        memo.loadBytes(file, {});
        window.show();
    }
    QString dirPath() const { return dir.path(); }
    QByteArray savedFile() const { return memo::memoFileBytes(memo.lines()); }
    const QLabel *noticeLine() const { return window.findChild<QLabel *>("lblnotice"); }

    QTemporaryDir dir;
    QString memoPath;
    memo::ChordMemo memo;
    memo::MemoHistory history {memo};
    ui::ChordBoxes boxes {memo, &history};
    ui::SongSettingsStore store;
    FakeWindow window;
    ui::NoticeLine notice;
    ui::BeyondTablesAnswer answer; // to the question of names beyond our tables
    ui::BeyondTablesQuestion question;
    ui::SongSharing sharing;
};

class tst_SongSharing : public QObject
{
    Q_OBJECT
private slots:
    void exports_data();
    void exports();
    void exportsTheOpenSongWhole_data();
    void exportsTheOpenSongWhole();
    void neverOverwritesTheMemo_data();
    void neverOverwritesTheMemo();
    void roundTripKeepsEveryBar_data();
    void roundTripKeepsEveryBar();
    void imports_data();
    void imports();
};

void tst_SongSharing::exports_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("starts");
    QTest::newRow("text, the empty box writes nothing")
        << "out.txt" << QByteArray("Key: C\nC(I) Am7(VIm7) H\n");
    QTest::newRow("ChordPro titled by the memo") << "out.cho" << QByteArray("{title: code}\n");
    QTest::newRow("MIDI file") << "out.mid" << QByteArray("MThd");
    QTest::newRow("PDF") << "out.pdf" << QByteArray("%PDF");
    QTest::newRow("PNG") << "OUT.PNG" << QByteArray("\x89PNG");
}

void tst_SongSharing::exports()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, starts);
    Sharing f(Song);
    const QString path = f.dirPath() + u'/' + file;
    f.sharing.exportTo(path);
    QTRY_VERIFY(readFile(path).startsWith(starts));
    QCOMPARE(f.savedFile(), Song);
}

void tst_SongSharing::exportsTheOpenSongWhole_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("ChordPro") << "out.cho";
    QTest::newRow("text") << "out.txt";
}

// With a song open, every chord of it goes out, past the boxes shown.
void tst_SongSharing::exportsTheOpenSongWhole()
{
    QFETCH(QString, file);
    Sharing f(Song);
    song::Song tune;
    tune.title = QStringLiteral("Long");
    for (int k = 0; k < 45; ++k)
        tune.bars.push_back(song::barOf(k % 2 ? QStringLiteral("G") : QStringLiteral("C"), {}));
    f.boxes.openSong(song::SongDocument(tune), false);
    const QString path = f.dirPath() + u'/' + file;
    f.sharing.exportTo(path);
    QTRY_VERIFY(QFile::exists(path));
    const QByteArray out = readFile(path);
    const std::size_t count = file.endsWith(QLatin1String(".cho"))
        ? song::readChordPro(out).chords.size()
        : memo::chordsOfText(QString::fromUtf8(out), chord::BeyondTables::KeepAsWritten)
              .chords.size();
    QCOMPARE(count, std::size_t(45));
    QCOMPARE(f.savedFile(), Song);
}

void tst_SongSharing::neverOverwritesTheMemo_data()
{
    QTest::addColumn<bool>("hard"); // the link that names the memo as text

    QTest::newRow("through a symbolic link") << false;
    QTest::newRow("through a hard link") << true;
}

void tst_SongSharing::neverOverwritesTheMemo()
{
    QFETCH(bool, hard);
    Sharing f(Song);
    const QByteArray memo = QFile::encodeName(f.memoPath);
    const QString path = f.dirPath() + QStringLiteral("/memo.txt");
    const QByteArray native = QFile::encodeName(path);
    QCOMPARE(hard ? ::link(memo, native) : ::symlink(memo, native), 0);

    f.sharing.exportTo(path);
    const auto *line = f.noticeLine();
    QTRY_VERIFY(line->isVisible());
    QCOMPARE(line->text(),
        QStringLiteral("「memo.txt」は開いているメモです: 別の名前に書き出してください"));
    QTest::qWait(100); // nothing is written later either
    QCOMPARE(f.savedFile(), Song);
    QCOMPARE(readFile(path), Song);
}

void tst_SongSharing::roundTripKeepsEveryBar_data()
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
void tst_SongSharing::roundTripKeepsEveryBar()
{
    QFETCH(QByteArray, memo);
    Sharing from(memo);
    const QString exported = from.dirPath() + QStringLiteral("/song.cho");
    from.sharing.exportTo(exported);
    QTRY_VERIFY(readFile(exported).startsWith("{title"));
    const QByteArray chordPro = readFile(exported);

    Sharing f(slotFile({}));
    QFile file(f.dirPath() + QStringLiteral("/song.cho"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(chordPro) == chordPro.size());
    file.close();
    f.sharing.importFrom(file.fileName());
    QTRY_COMPARE(f.savedFile(), memo);
}

void tst_SongSharing::imports_data()
{
    QTest::addColumn<QByteArray>("chordPro");
    QTest::addColumn<QByteArray>("saved"); // the memo file once imported
    QTest::addColumn<QString>("notice"); // the line over the boxes, if any
    QTest::addColumn<int>("tempo"); // kept for the memo afterwards
    QTest::addColumn<bool>("nearest"); // the answer to names beyond our tables
    QTest::addColumn<QString>("key"); // and its key and capo: "Bb 3"; none: " 0"

    QByteArray many = "{title: Long}\n";
    for (int i = 0; i < 32; ++i)
        many += "[G]la ";
    QList<SlotChord> thirty;
    for (int k = 0; k < 30; ++k)
        thirty << SlotChord {k, "G", ""};
    QTest::newRow("chords in order, in the program's own spelling")
        << QByteArray("{t: Song}\n{tempo: 96}\n# a comment [X]\n[Am7]Hel[D]lo [Bbm7b5]there\n")
        << slotFile({{0, "A", "m7"}, {1, "D", ""}, {2, "Bb", "m7-5"}}) << QString() << 96 << false << " 0";
    QTest::newRow("lyrics alone: refused, the memo stays")
        << QByteArray("{title: Words}\n{tempo: 80}\nNo chords [*Coda] here\n") << Song
        << "読み込んだファイルにはコードがありません: メモはそのままです" << 0 << false << " 0";
    QTest::newRow("more than 30: the first 30, and how many were left")
        << many << slotFile(thirty) << "メモは 30 個までです: 2 個のコードは読み込んでいません"
        << 120 << false << " 0";
    const QByteArray real("{title: Real}\n[Bbmaj7]One [C9]two [G/B]three\n");
    QTest::newRow("names beyond the tables kept as written, known spellings ours")
        << real << slotFile({{0, "Bb", "M7"}, {1, "C", "9"}, {2, "G", "/B"}})
        << "一覧にない 2 個のコードは書かれたままです（再生では休み）" << 120 << false << " 0";
    QTest::newRow("names beyond the tables as their nearest chords")
        << real << slotFile({{0, "Bb", "M7"}, {1, "C", "7"}, {2, "G", ""}})
        << "2 個のコードを近いコードにしました: C9 → C7「9th」, G/B → G「ベース B」" << 120 << true << " 0";
    QTest::newRow("its key and capo kept with the tempo")
        << QByteArray("{key: Gm}\n{capo: 3}\n[Bb] [F]\n") << slotFile({{0, "Bb", ""}, {1, "F", ""}})
        << QString() << 120 << false << "Gm 3";
}

void tst_SongSharing::imports()
{
    QFETCH(QByteArray, chordPro);
    QFETCH(QByteArray, saved);
    QFETCH(QString, notice);
    QFETCH(int, tempo);
    QFETCH(bool, nearest);
    QFETCH(QString, key);
    const QTemporaryDir settingsDir;
    QSettings settings(settingsDir.filePath(QStringLiteral("share.conf")), QSettings::IniFormat);
    Sharing f(Song, &settings);
    f.answer.beyond = nearest ? chord::BeyondTables::Nearest : chord::BeyondTables::KeepAsWritten;
    const QString path = f.dirPath() + QStringLiteral("/song.cho");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(chordPro) == chordPro.size());
    file.close();

    f.sharing.importFrom(path);
    const auto *line = f.noticeLine();
    if (!notice.isEmpty())
        QTRY_VERIFY(line->isVisible());
    QTRY_COMPARE(f.savedFile(), saved);
    QCOMPARE(line->isVisible() ? line->text() : QString(), notice);
    const QString tempoKey = QStringLiteral("songs/%1/tempo")
                                 .arg(QString::fromLatin1(QUrl::toPercentEncoding(f.memoPath)));
    QCOMPARE(settings.value(tempoKey).toInt(), tempo);
    const auto keyOf = [&] {
        const song::SongSettings kept = song::loadSongSettings(settings, f.memoPath);
        return QStringLiteral("%1 %2")
            .arg(kept.key ? QString::fromStdString(chord::keyName(*kept.key)) : QString())
            .arg(kept.capo);
    };
    QCOMPARE(keyOf(), key);
    // The window's exports name the chords in the key kept.
    if (const QString kept = key.section(u' ', 0, 0); !kept.isEmpty()) {
        const QString out = f.dirPath() + QStringLiteral("/out.txt");
        f.sharing.exportTo(out);
        QTRY_VERIFY(readFile(out).startsWith("Key: " + kept.toUtf8() + '\n'));
    }
    // One step: the memo comes back whole, and the tempo, key and capo it had.
    f.history.undoStack()->undo();
    QTRY_COMPARE(f.savedFile(), Song);
    QVERIFY(settings.value(tempoKey, song::DefaultTempo).toInt() == song::DefaultTempo);
    QCOMPARE(keyOf(), QStringLiteral(" 0"));
}

QTEST_MAIN(tst_SongSharing)
#include "tst_songsharing.moc"
