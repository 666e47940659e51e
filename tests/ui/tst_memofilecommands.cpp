#include "../memofile/keptmemo.h"
#include "fakewindow.h"
#include "memofilecommands.h"
#include "memohistory.h"
#include "memolocation.h"
#include "songsettingsstore.h"

#include <QTemporaryDir>

// The memo's file commands against a fake window: the title they give it,
// and the close they let through once the memo's save has.
class tst_MemoFileCommands : public QObject
{
    Q_OBJECT
private slots:
    void closes_data();
    void closes();
};

void tst_MemoFileCommands::closes_data()
{
    QTest::addColumn<bool>("slow"); // the disk takes its time
    QTest::addColumn<bool>("locked"); // saves fail: the memo is held elsewhere
    // "load NAME" (the window's load, of a file in a fresh folder; "default":
    // the program's own memo), "close" (the window's unload), "unattended".
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("asked"); // of the window
    QTest::addColumn<int>("status");

    const QString plain = QStringLiteral("ソラミナ　コード一覧");
    QTest::newRow("the title names the user's memo")
        << false << false << QStringList {"load song.dat"} << plain + QStringLiteral(" - song.dat")
        << QStringList {} << 0;
    QTest::newRow("the program's own memo goes unnamed")
        << false << false << QStringList {"load default"} << plain << QStringList {} << 0;
    QTest::newRow("a close goes once its save went through")
        << false << false << QStringList {"load code.dat", "close"}
        << plain + QStringLiteral(" - code.dat") << QStringList {"close"} << 0;
    QTest::newRow("a close asked again while saving waits for the first")
        << true << false << QStringList {"load code.dat", "close", "close"}
        << plain + QStringLiteral(" - code.dat") << QStringList {"close"} << 0;
    QTest::newRow("nobody to answer: the memo rescued, the run a failure")
        << false << true << QStringList {"load code.dat", "unattended", "close"}
        << plain + QStringLiteral(" - code.dat") << QStringList {"close"} << EXIT_FAILURE;
}

void tst_MemoFileCommands::closes()
{
    QFETCH(bool, slow);
    QFETCH(bool, locked);
    QFETCH(QStringList, steps);
    QFETCH(QString, title);
    QFETCH(QStringList, asked);
    QFETCH(int, status);

    QTemporaryDir dir;
    qputenv("XDG_DATA_HOME", dir.path().toUtf8()); // the default memo and rescue files
    KeptMemo kept(slow);
    memo::MemoHistory history(kept.memo);
    ui::SongSettingsStore store(nullptr, [&kept] { return kept.keeper.path(); });
    FakeWindow window;
    window.show();
    ui::MemoFileCommands commands(&window, &kept.keeper, &history, &store);
    for (const QString &step : std::as_const(steps)) {
        const QStringList w = step.split(u' ');
        if (w[0] == "load") {
            const QString path
                = w[1] == "default" ? memofile::defaultMemoPath() : dir.filePath(w[1]);
            QVERIFY(!kept.keeper.load(path, {}));
            kept.lock->heldElsewhere = locked;
            emit window.loaded();
        } else if (w[0] == "close") {
            emit window.unloading();
        } else {
            commands.closeUnattended();
        }
    }
    QCOMPARE(window.windowTitle(), title);
    QTRY_COMPARE(window.log, asked);
    QTest::qWait(3 * SlowMs); // and nothing more
    QCOMPARE(window.log, asked);
    QCOMPARE(commands.exitStatus(), status);
}

QTEST_MAIN(tst_MemoFileCommands)
#include "tst_memofilecommands.moc"
