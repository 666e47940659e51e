#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

// Heavy libraries (image formats, SVG, printing) load on first use, never
// while the window opens: Qt's plugin log of a start shows the platform, then
// the sequencer plugin, whose client joins once the window is on screen,
// whether MIDI was used before or not, and the sound module, which loads then
// too so that the first chord needs no wait.
class tst_StartupPlugins : public QObject
{
    Q_OBJECT
private slots:
    void platformThenSequencer();
};

void tst_StartupPlugins::platformThenSequencer()
{
    constexpr int OpenMs = 3000; // shown, painted, and the icon set after that
    const QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_DEBUG_PLUGINS"), QStringLiteral("1"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dir.path());
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(QStringLiteral(SORAMINA_BINARY), {dir.filePath(QStringLiteral("song.dat"))});
    QVERIFY(program.waitForStarted());
    QTest::qWait(OpenMs);
    QCOMPARE(program.state(), QProcess::Running);
    ::kill(pid_t(program.processId()), SIGTERM);
    QVERIFY(program.waitForFinished());

    QStringList loaded;
    for (const QByteArray &line : program.readAll().split('\n')) {
        if (line.endsWith("loaded library"))
            loaded << QString::fromUtf8(line);
    }
    QCOMPARE(loaded.size(), 3);
    QVERIFY2(loaded.first().contains(QLatin1String("/platforms/")), qPrintable(loaded.first()));
    // Each from a worker thread of its own: in either order.
    const QString later = loaded[1] + loaded[2];
    QVERIFY2(later.contains(QLatin1String("/" SEQUENCER_PLUGIN)), qPrintable(later));
    QVERIFY2(later.contains(QLatin1String("/" SOUND_PLUGIN)), qPrintable(later));
}

QTEST_GUILESS_MAIN(tst_StartupPlugins)
#include "tst_startupplugins.moc"
