#include "chordproreader.h"
#include "form1fixture.h"
#include "memofilecommands.h"

#include "memolocation.h"
#include "songsettings.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QSettings>
#include <QTimer>

#include <sys/stat.h>

namespace
{
const QByteArray Song = "C\r\n\r\nA\r\nm\r\n";

// Answers the questions the window asks, one step per question: a button of
// the message box on screen ("retry", "elsewhere", "discard", "stay",
// "yes", "no"), a file to pick in a file dialog, "writable" (the memo can be
// written from now on, then the next step answers) or "unattended" (a
// termination signal arrives while the question is on screen). A question
// beyond the steps is put away unanswered, and counted.
class Answers : public QObject
{
public:
    Answers(const QStringList &steps, Form1 *form, const QString &memoPath)
        : m_steps(steps)
        , m_form(form)
        , m_memoPath(memoPath)
    {
        connect(&m_timer, &QTimer::timeout, this, &Answers::answer);
        m_timer.start(20);
    }

    int asked = 0;
    // Every step taken and no question left on screen.
    bool done() const { return m_steps.isEmpty() && !QApplication::activeModalWidget(); }

private:
    void answer()
    {
        QWidget *modal = QApplication::activeModalWidget();
        // A file dialog that is still there did not take its answer: again.
        if (auto *dialog = qobject_cast<QFileDialog *>(modal); dialog && modal == m_last.data())
            return answerFile(dialog, m_lastFile);
        if (!modal || modal == m_last.data())
            return;
        m_last = modal;
        ++asked;
        if (m_steps.isEmpty())
            return void(modal->close());
        QString step = m_steps.takeFirst();
        if (step == QLatin1String("writable")) {
            QFile::setPermissions(m_memoPath, QFile::ReadOwner | QFile::WriteOwner);
            step = m_steps.takeFirst();
        }
        if (step == QLatin1String("unattended"))
            return m_form->rooms().memoFile->closeUnattended();
        if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
            m_lastFile = step;
            return answerFile(dialog, step);
        }
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (step == QLatin1String("Ok"))
            return box->button(QMessageBox::Ok)->click();
        if (step == QLatin1String("yes") || step == QLatin1String("no"))
            return box->button(step == QLatin1String("yes") ? QMessageBox::Yes : QMessageBox::No)
                ->click();
        box->findChild<QAbstractButton *>(step)->click();
    }

    // The name box ignores selectFile() once it has the focus, so the name is
    // typed into it as a user would.
    static void answerFile(QFileDialog *dialog, const QString &file)
    {
        dialog->selectFile(file);
        if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            name->setText(file);
        static_cast<QDialog *>(dialog)->accept();
    }

    QStringList m_steps;
    QString m_lastFile;
    Form1 *m_form;
    QString m_memoPath;
    QPointer<QWidget> m_last;
    QTimer m_timer;
};
} // namespace

class tst_Form1Memo : public QObject
{
    Q_OBJECT
private slots:
    void savesAsYouGo_data();
    void savesAsYouGo();
    void failedSaveAtClose_data();
    void failedSaveAtClose();
    void unattendedClose_data();
    void unattendedClose();
    void sessionSaveKeepsWindow_data();
    void sessionSaveKeepsWindow();
    void openAnotherFile_data();
    void openAnotherFile();
    void saveAs_data();
    void saveAs();
    void anotherWindowsChordShows();
    void strayTemporaryGoesOnceShown();
    void unreadableMemoIsReported_data();
    void unreadableMemoIsReported();
    void songWithLyricsOpensReadOnly();
    void secondWindowOnASongReadsOnly();
    void songFailedSaveAtClose_data();
    void songFailedSaveAtClose();

private:
    // Opens the window on a read-only memo and puts D into slot 0.
    bool openWithUnsavedChord();
    QString memoPath() const { return f.dirPath() + QStringLiteral("/code.dat"); }
    static QStringList rescueFiles();

    Form1Fixture f;
};

bool tst_Form1Memo::openWithUnsavedChord()
{
    if (!f.open(&Song))
        return false;
    QFile::setPermissions(memoPath(), QFile::ReadOwner);
    f.clickSlot(0);
    f.clickOption("opcode1", 2); // D, kind stays empty
    return true;
}

QStringList tst_Form1Memo::rescueFiles()
{
    const QDir folder = QFileInfo(memofile::defaultMemoPath()).absoluteDir();
    QStringList files;
    for (const QString &name : folder.entryList({"code.dat.rescued-*"}))
        files << folder.filePath(name);
    return files;
}

void tst_Form1Memo::savesAsYouGo_data()
{
    QTest::addColumn<bool>("pickSlot");
    QTest::newRow("a memo slot reaches the file within a second") << true;
    QTest::newRow("the scratch slot leaves the file alone") << false;
}

// Bare LF line ends: a save would turn them into CR LF, so any save shows.
void tst_Form1Memo::savesAsYouGo()
{
    QFETCH(bool, pickSlot);
    const QByteArray file = "C\n\nA\nm\n";
    QVERIFY(f.open(&file));
    if (pickSlot)
        f.clickSlot(1);
    f.clickOption("opcode1", 4); // E
    if (pickSlot) {
        QTRY_VERIFY_WITH_TIMEOUT(f.savedFile().startsWith("C\r\n\r\nE\r\nm\r\n"), 1000);
        return;
    }
    QTest::qWait(1200);
    f.form()->close();
    QVERIFY(f.closed());
    QCOMPARE(f.savedFile(), file);
}

void tst_Form1Memo::failedSaveAtClose_data()
{
    QTest::addColumn<bool>("change");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QByteArray>("memoStarts");
    QTest::addColumn<QByteArray>("elsewhere");

    QTest::newRow("D taken back: closes without a question")
        << false << QStringList {} << true << Song << QByteArray("<no file>");
    QTest::newRow("キャンセル keeps the window")
        << true << QStringList {"stay"} << false << Song << QByteArray("<no file>");
    QTest::newRow("再試行 saves once the file can be written")
        << true << QStringList {"retry", "writable", "retry"} << true
        << QByteArray("D\r\n\r\nA\r\nm\r\n") << QByteArray("<no file>");
    QTest::newRow("別の場所に保存... saves there, then closes")
        << true << QStringList {"elsewhere", "@elsewhere.dat"} << true << Song
        << QByteArray("D\r\n\r\nA\r\nm\r\n");
    QTest::newRow("保存せずに終了, confirmed")
        << true << QStringList {"discard", "yes"} << true << Song << QByteArray("<no file>");
    QTest::newRow("保存せずに終了, not confirmed, asks again")
        << true << QStringList {"discard", "no", "stay"} << false << Song
        << QByteArray("<no file>");
}

// The window says at once that the memo is not being saved; a close by the
// user then asks what to do, and the window stays until the user decides.
void tst_Form1Memo::failedSaveAtClose()
{
    QFETCH(bool, change);
    QFETCH(QStringList, answers);
    QFETCH(bool, closes);
    QFETCH(QByteArray, memoStarts);
    QFETCH(QByteArray, elsewhere);
    QVERIFY(openWithUnsavedChord());
    auto *notice = f.control<QLabel>(QStringLiteral("lblsavenotice"));
    QTRY_VERIFY_WITH_TIMEOUT(notice->isVisible(), 1000);
    QVERIFY(notice->text().contains(memoPath()));
    if (!change)
        f.clickOption("opcode1", 0); // C again: the memo is the file's

    answers.replaceInStrings(QStringLiteral("@"), f.dirPath() + u'/');
    const Answers answering(answers, f.form(), memoPath());
    f.form()->close();
    QTRY_VERIFY(answering.done() && f.form()->isVisible() != closes);
    QCOMPARE(answering.asked, answers.size() - answers.count(QStringLiteral("writable")));
    QVERIFY(f.savedFile().startsWith(memoStarts));
    QFile other(f.dirPath() + QStringLiteral("/elsewhere.dat"));
    QVERIFY(other.open(QIODevice::ReadOnly) ? other.readAll().startsWith(elsewhere)
                                            : elsewhere == "<no file>");
    // Only a save that reached a file takes the notice away.
    QCOMPARE(!notice->isHidden(), memoStarts == Song && elsewhere == "<no file>");
    QCOMPARE(f.form()->rooms().memoFile->exitStatus(), 0);
}

void tst_Form1Memo::unattendedClose_data()
{
    QTest::addColumn<bool>("questionOnScreen");
    QTest::newRow("a signal asks nothing") << false;
    QTest::newRow("a signal puts away a question already asked") << true;
}

// A close that nobody watches writes the memo into a rescue file beside the
// default memo and ends with a failure, without a question left on screen.
void tst_Form1Memo::unattendedClose()
{
    QFETCH(bool, questionOnScreen);
    QVERIFY(openWithUnsavedChord());
    const Answers answering(
        questionOnScreen ? QStringList {"unattended"} : QStringList {}, f.form(), memoPath());
    if (questionOnScreen)
        f.form()->close();
    else
        f.form()->rooms().memoFile->closeUnattended();
    QTRY_VERIFY(!f.form()->isVisible());
    QCOMPARE(answering.asked, questionOnScreen ? 1 : 0);
    QCOMPARE(f.form()->rooms().memoFile->exitStatus(), EXIT_FAILURE);
    QCOMPARE(f.savedFile(), Song);
    const QStringList rescued = rescueFiles();
    QCOMPARE(rescued.size(), 1);
    QFile file(rescued.constFirst());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith("D\r\n\r\nA\r\nm\r\n"));
}

void tst_Form1Memo::sessionSaveKeepsWindow_data()
{
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("the chord reaches the memo") << false;
    QTest::newRow("a memo that cannot be saved goes into a rescue file") << true;
}

// The session asks for a save before a logout that may yet be cancelled:
// the memo is saved, and the window stays.
void tst_Form1Memo::sessionSaveKeepsWindow()
{
    QFETCH(bool, readOnly);
    QVERIFY(f.open(&Song));
    if (readOnly)
        QFile::setPermissions(memoPath(), QFile::ReadOwner);
    f.clickSlot(0);
    f.clickOption("opcode1", 2); // D
    f.form()->rooms().memoFile->saveForSession();
    QTRY_VERIFY(readOnly ? !rescueFiles().isEmpty() : f.savedFile().startsWith("D\r\n"));
    QTest::qWait(100); // a close would have gone through by now
    QVERIFY(f.form()->isVisible());
    QCOMPARE(rescueFiles().size(), readOnly ? 1 : 0);
    QCOMPARE(f.form()->rooms().memoFile->exitStatus(), 0);
}

void tst_Form1Memo::openAnotherFile_data()
{
    QTest::addColumn<QByteArray>("other"); // "<fifo>": a FIFO, "<none>": no file yet
    QTest::addColumn<QString>("slot1");
    QTest::addColumn<QString>("title");

    const QString songTitle = QStringLiteral("ソラミナ　コード一覧 - song.dat");
    QTest::newRow("a song file") << QByteArray("G\r\n7\r\nE\r\nm7\r\n") << "Em7" << songTitle;
    QTest::newRow("a new name starts empty") << QByteArray("<none>") << "" << songTitle;
    QTest::newRow("a FIFO is refused; the memo stays") << QByteArray("<fifo>") << "Am"
                                                       << "ソラミナ　コード一覧 - code.dat";
}

// 開く saves the memo, then the chosen file becomes the memo.
void tst_Form1Memo::openAnotherFile()
{
    QFETCH(QByteArray, other);
    QFETCH(QString, slot1);
    QFETCH(QString, title);
    QVERIFY(f.open(&Song));
    f.clickSlot(0);
    f.clickOption("opcode1", 2); // D
    const QString song = f.dirPath() + QStringLiteral("/song.dat");
    if (other == "<fifo>") {
        QCOMPARE(::mkfifo(QFile::encodeName(song).constData(), 0644), 0);
    } else if (other != "<none>") {
        QFile file(song);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(other) == other.size());
    }

    const QStringList answers
        = other == "<fifo>" ? QStringList {song, QStringLiteral("Ok")} : QStringList {song};
    const Answers answering(answers, f.form(), memoPath());
    auto *open = f.control<QAction>(QStringLiteral("open"));
    open->trigger();
    QTRY_VERIFY(answering.done() && open->isEnabled());
    QCOMPARE(answering.asked, answers.size());
    QVERIFY(f.savedFile().startsWith("D\r\n\r\nA\r\nm\r\n"));
    QCOMPARE(f.slotCaption(1), slot1);
    QCOMPARE(f.form()->windowTitle(), title);
}

void tst_Form1Memo::saveAs_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("hadOwn"); // a memo of that name had a tempo and beats of its own
    QTest::addColumn<bool>("saved");

    QTest::newRow("a new name takes the song's tempo and beats") << "copy.dat" << false << true;
    QTest::newRow("an old memo's own tempo and beats give way") << "copy.dat" << true << true;
    QTest::newRow("a ChordPro name is refused, as 開く refuses it") << "copy.cho" << false << false;
}

// 名前を付けて保存 makes the new name the memo, and the song's settings, kept
// by the memo's name, follow it there.
void tst_Form1Memo::saveAs()
{
    QFETCH(QString, name);
    QFETCH(bool, hadOwn);
    QFETCH(bool, saved);
    const QTemporaryDir settingsDir;
    QSettings settings(settingsDir.filePath(QStringLiteral("memo.conf")), QSettings::IniFormat);
    QVERIFY(f.open(&Song, {}, {.settings = &settings}));
    const song::SongSettings kept {90, 3};
    song::saveSongSettings(settings, memoPath(), kept);
    const QString copy = f.dirPath() + u'/' + name;
    if (hadOwn)
        song::saveSongSettings(settings, copy, {200, 5});

    QStringList answers {copy};
    if (!saved)
        answers << QStringLiteral("Ok");
    const Answers answering(answers, f.form(), memoPath());
    auto *saveas = f.control<QAction>(QStringLiteral("saveas"));
    saveas->trigger();
    QTRY_VERIFY(answering.done() && saveas->isEnabled());
    QCOMPARE(answering.asked, answers.size());
    QCOMPARE(QFile::exists(copy), saved);
    QCOMPARE(f.form()->windowTitle().endsWith(name), saved);
    QVERIFY(song::loadSongSettings(settings, memoPath()) == kept);
    QVERIFY(song::loadSongSettings(settings, copy) == (saved ? kept : song::SongSettings {}));
}

// Another window's save shows in this one within a second or two.
void tst_Form1Memo::anotherWindowsChordShows()
{
    QVERIFY(f.open(&Song));
    memofile::DiskMemo otherMemo;
    Form1 other(memoPath(), {.keeper = &otherMemo.keeper()});
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    f.clickSlot(2);
    f.clickOption("opcode1", 4); // E
    QTRY_COMPARE_WITH_TIMEOUT(
        other.findChild<QLabel *>(QStringLiteral("lblslot(2)"))->text(), QStringLiteral("E"), 2000);
}

// What a killed save left goes, but only after the window first shows: the
// lock that guards the tidying costs a synced write.
void tst_Form1Memo::strayTemporaryGoesOnceShown()
{
    const QTemporaryDir dir;
    const QString stray = dir.filePath(QStringLiteral("code.dat.saving-a1B2c3"));
    QFile file(stray);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(Song) == Song.size());
    file.close();
    memofile::DiskMemo memo;
    Form1 form(dir.filePath(QStringLiteral("code.dat")), {.keeper = &memo.keeper()});
    QVERIFY(QFile::exists(stray));
    form.show();
    QTRY_VERIFY(!QFile::exists(stray));
}

void tst_Form1Memo::unreadableMemoIsReported_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason"); // part of it
    QTest::addColumn<bool>("fine"); // a file, only no memo or song: the report says so first

    QTest::newRow("a folder") << "code.dat"
                              << "フォルダー" << false;
    QTest::newRow("a song that is not UTF-8") << "song.cho"
                                              << "UTF-8 ではありません" << true;
}

// A memo that cannot be read is given back to the caller, who reports it
// and ends the program: the window's own destructor still runs.
void tst_Form1Memo::unreadableMemoIsReported()
{
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QFETCH(bool, fine);
    const QTemporaryDir dir;
    const QString path = dir.filePath(name);
    if (fine) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("[C]Sora [Am]\xffmina\n") > 0);
    } else {
        QVERIFY(QDir().mkdir(path));
    }
    memofile::DiskMemo memo;
    const Form1 form(path, {.keeper = &memo.keeper()});
    QVERIFY(form.loadError());
    QCOMPARE(form.loadError()->fileName, path);
    QVERIFY2(form.loadError()->reason.contains(reason), qPrintable(form.loadError()->reason));
    QCOMPARE(!form.loadErrorHeading().isEmpty(), fine);
}

// A ChordPro file opens as a song over the default memo. Saving would drop
// its lyrics: it opens read-only, and says so; the file stays as it was.
void tst_Form1Memo::songWithLyricsOpensReadOnly()
{
    const QTemporaryDir dir;
    qputenv("XDG_DATA_HOME", dir.path().toUtf8());
    const QString path = dir.filePath(QStringLiteral("song.cho"));
    const QByteArray lyrics = "{title: Sora}\n[C]Sora [Am]mina\n";
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(lyrics) == lyrics.size());
    file.close();
    memofile::DiskMemo memo;
    Form1 form(path, {.keeper = &memo.keeper()});
    QVERIFY(!form.loadError());
    form.show();
    QCOMPARE(form.findChild<QLabel *>(QStringLiteral("lblslot(1)"))->text(), QStringLiteral("Am"));
    QVERIFY(form.windowTitle().endsWith(QStringLiteral("song.cho（読み取り専用）")));
    QVERIFY(form.findChild<QLabel *>(QStringLiteral("lblnotice"))->text().contains(u"歌詞 1 行"));
    form.findChild<QAction *>(QStringLiteral("delete"))->trigger();
    QTest::mouseClick(form.findChild<QWidget *>(QStringLiteral("lblslot(0)")), Qt::LeftButton);
    form.findChild<QAction *>(QStringLiteral("delete"))->trigger();
    QCOMPARE(form.findChild<QLabel *>(QStringLiteral("lblslot(0)"))->text(), QStringLiteral("C"));
    QTest::qWait(600);
    QFile again(path);
    QVERIFY(again.open(QIODevice::ReadOnly));
    QCOMPARE(again.readAll(), lyrics);
}

// Two windows on one song: the first edits and saves it; the second shows it
// read-only, says so, and takes no edit.
void tst_Form1Memo::secondWindowOnASongReadsOnly()
{
    const QTemporaryDir dir;
    qputenv("XDG_DATA_HOME", dir.path().toUtf8());
    const QString path = dir.filePath(QStringLiteral("song.cho"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("{title: Two}\n[C]\n[G]\n") > 0);
    file.close();
    memofile::DiskMemo firstMemo, secondMemo;
    Form1 first(path, {.keeper = &firstMemo.keeper()});
    Form1 second(path, {.keeper = &secondMemo.keeper()});
    QVERIFY(!first.loadError() && !second.loadError());
    first.show();
    second.show();
    QVERIFY(!first.windowTitle().contains(QStringLiteral("読み取り専用")));
    QVERIFY(second.windowTitle().endsWith(QStringLiteral("song.cho（読み取り専用）")));
    QVERIFY(second.findChild<QLabel *>(QStringLiteral("lblnotice"))
                ->text()
                .contains(QStringLiteral("ほかのウィンドウ")));
    for (Form1 *form : {&second, &first}) {
        QTest::mouseClick(form->findChild<QWidget *>(QStringLiteral("lblslot(0)")), Qt::LeftButton);
        form->findChild<QAction *>(QStringLiteral("delete"))->trigger();
    }
    QCOMPARE(second.findChild<QLabel *>(QStringLiteral("lblslot(0)"))->text(), QStringLiteral("C"));
    QTRY_VERIFY(song::readChordPro([&] {
        QFile saved(path);
        return saved.open(QIODevice::ReadOnly) ? saved.readAll() : QByteArray();
    }()).chords.front().isEmpty());
}

void tst_Form1Memo::songFailedSaveAtClose_data()
{
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QString>("kept"); // the first chord of the song's file after the close
    QTest::addColumn<QString>("elsewhere"); // of elsewhere.cho; "-": no file
    QTest::newRow("別の場所に保存... saves the song there, then closes")
        << QStringList {"elsewhere", "@elsewhere.cho"} << "C" << "D";
    QTest::newRow("保存せずに終了, confirmed") << QStringList {"discard", "yes"} << "C" << "-";
}

// A song that cannot be saved says so at once, and its close asks what to
// do, as the memo's does.
void tst_Form1Memo::songFailedSaveAtClose()
{
    QFETCH(QStringList, answers);
    QFETCH(QString, kept);
    QFETCH(QString, elsewhere);
    const QByteArray song = "{title: S}\n[C]\n[G]\n";
    QVERIFY(f.open(nullptr, {}, {}, &song));
    const QString path = f.dirPath() + QStringLiteral("/song.cho");
    QFile::setPermissions(path, QFile::ReadOwner);
    f.clickSlot(0);
    f.clickOption("opcode1", 2); // D
    auto *notice = f.control<QLabel>(QStringLiteral("lblsavenotice"));
    QTRY_VERIFY_WITH_TIMEOUT(notice->isVisible(), 1000);
    QVERIFY(notice->text().startsWith(QStringLiteral("曲を保存できません")));

    answers.replaceInStrings(QStringLiteral("@"), f.dirPath() + u'/');
    const Answers answering(answers, f.form(), path);
    f.form()->close();
    QTRY_VERIFY(answering.done() && !f.form()->isVisible());
    const auto firstChord = [](const QString &file) {
        QFile read(file);
        return read.open(QIODevice::ReadOnly)
            ? song::readChordPro(read.readAll()).chords.front().name()
            : QStringLiteral("-");
    };
    QCOMPARE(firstChord(path), kept);
    QCOMPARE(firstChord(f.dirPath() + QStringLiteral("/elsewhere.cho")), elsewhere);
}

QTEST_MAIN(tst_Form1Memo)
#include "tst_form1memo.moc"
