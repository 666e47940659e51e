#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The installed program's command line, run with no display at all, as in a
// terminal without a desktop or in a build job that makes the manual page.
class tst_CommandLine : public QObject
{
    Q_OBJECT
private slots:
    void statusAndFirstLine_data();
    void statusAndFirstLine();
};

void tst_CommandLine::statusAndFirstLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("firstLine");
    QTest::newRow("help") << QStringList {"--help"} << 0 << "Usage: soramina [options] [FILE]";
    QTest::newRow("version") << QStringList {"--version"} << 0 << "soramina " SORAMINA_VERSION;
    QTest::newRow("Qt's own option is let through")
        << QStringList {"-platform", "offscreen", "-v"} << 0 << "soramina " SORAMINA_VERSION;
    QTest::newRow("unknown option") << QStringList {"-x"} << 2 << "soramina: Unknown option 'x'.";
    QTest::newRow("two files") << QStringList {"a.dat", "b.dat"} << 2
                               << "soramina: Only one FILE may be given.";
    QTest::newRow("a file, no display")
        << QStringList {"song.dat"} << 1
        << "soramina: cannot open a window: no window system could be reached (DISPLAY is not "
           "set)";
}

void tst_CommandLine::statusAndFirstLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, firstLine);

    const QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(dir.path());
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(QStringLiteral(SORAMINA_BINARY), arguments);
    QVERIFY(program.waitForFinished());

    const QString output = QString::fromUtf8(program.readAll());
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), status);
    QCOMPARE(output.section(u'\n', 0, 0), firstLine);
    // Nothing was opened, so nothing was written.
    QVERIFY(QDir(dir.path()).isEmpty());
}

QTEST_GUILESS_MAIN(tst_CommandLine)
#include "tst_commandline.moc"
