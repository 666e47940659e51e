#include "../sound/fakeoutput.h"
#include "form1fixture.h"
#include "soundmenu.h"

#include <QMenuBar>
#include <QPluginLoader>
#include <QSettings>
#include <QSignalSpy>

// The menu 音: where it sits, what it plays, what it remembers, and what it
// shows when nothing can sound.
class tst_SoundMenu : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void playsTheChordsShown();
    void choicesAreKept_data();
    void choicesAreKept();
    void noOutput_data();
    void noOutput();

private:
    SoundMenu *open(std::unique_ptr<sound::ChordPlayer> player);
    QAction *item(const QString &text) const
    {
        return m_window.menuItem(QStringLiteral("sound"), text);
    }

    Form1Fixture m_window;
    QTemporaryDir m_settingsDir;
    SoundMenu *m_menu = nullptr;
    std::unique_ptr<QSettings> m_settings;
    std::unique_ptr<sound::ChordPlayer> m_player;
};

void tst_SoundMenu::init()
{
    QFile::remove(m_settingsDir.filePath(QStringLiteral("soramina.conf")));
}

SoundMenu *tst_SoundMenu::open(std::unique_ptr<sound::ChordPlayer> player)
{
    // The window goes before the player and the settings it worked with.
    m_window.reset();
    m_player = std::move(player);
    m_settings = std::make_unique<QSettings>(
        m_settingsDir.filePath(QStringLiteral("soramina.conf")), QSettings::IniFormat);
    const bool opened
        = m_window.open(nullptr, {}, {.player = m_player.get(), .settings = m_settings.get()});
    m_menu = m_window.control<SoundMenu>(QStringLiteral("sound"));
    return opened ? m_menu : nullptr;
}

// Between フィイル and ヘルプ, sounding the chords shown and the keys clicked.
void tst_SoundMenu::playsTheChordsShown()
{
    const auto log = std::make_shared<OutputLog>();
    QVERIFY(open(fakePlayer(log)));
    QStringList titles;
    for (QAction *menu : m_window.form()->menuBar()->actions())
        titles << menu->text();
    QCOMPARE(
        titles.indexOf(QStringLiteral("音(&S)")), titles.indexOf(QStringLiteral("ヘルプ(&H)")) - 1);
    QCOMPARE(item(QStringLiteral("もう一度鳴らす(&R)"))->shortcut(),
        QKeySequence(QStringLiteral("Ctrl+R")));

    m_window.clickOption("opcode1", 7); // G, with the kind m shown at start
    QTRY_VERIFY(log->events.size() >= 4);
    QCOMPARE(log->events.mid(0, 4), (QStringList {"program 0", "on 55", "on 58", "on 62"}));

    // A key clicked on the drawn keyboard sounds its own note: E3, below the black keys.
    QTest::mouseClick(m_window.control("Label12"), Qt::LeftButton, {}, QPoint(80, 137));
    QTRY_VERIFY(log->events.contains(QStringLiteral("on 52")));
}

void tst_SoundMenu::choicesAreKept_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("kept");

    QTest::newRow("chords not played") << "コードを鳴らす(&P)"
                                       << "sound/play" << QVariant(false);
    QTest::newRow("arpeggio") << "アルペジオ(&A)"
                              << "sound/arpeggio" << QVariant(true);
    QTest::newRow("electric piano") << "エレクトリックピアノ"
                                    << "sound/program" << QVariant(4);
    QTest::newRow("organ") << "オルガン"
                           << "sound/program" << QVariant(16);
    QTest::newRow("guitar") << "ギター"
                            << "sound/program" << QVariant(24);
    QTest::newRow("strings") << "ストリングス"
                             << "sound/program" << QVariant(48);
}

// A choice goes into the settings and comes back, checked, in the next run.
void tst_SoundMenu::choicesAreKept()
{
    QFETCH(QString, caption);
    QFETCH(QString, key);
    QFETCH(QVariant, kept);

    QVERIFY(open(fakePlayer(std::make_shared<OutputLog>())));
    const bool checkedBefore = item(caption)->isChecked();
    item(caption)->trigger();
    QVERIFY(item(caption)->isChecked() != checkedBefore);
    QSettings settings(
        m_settingsDir.filePath(QStringLiteral("soramina.conf")), QSettings::IniFormat);
    QCOMPARE(settings.value(key), kept);

    const auto log = std::make_shared<OutputLog>();
    QVERIFY(open(fakePlayer(log)));
    QCOMPARE(item(caption)->isChecked(), !checkedBefore);
    m_player->replay(); // opens the output, which takes the program kept
    const QString program
        = QStringLiteral("program %1").arg(key == "sound/program" ? kept.toInt() : 0);
    QTRY_COMPARE(log->events.value(0), program);
}

void tst_SoundMenu::noOutput_data()
{
    QTest::addColumn<QString>("moduleFolder");
    QTest::addColumn<QString>("reasonHas");

    // The test runs with no audio server and no ALSA device configured.
    QTest::newRow("no audio server or device") << QStringLiteral(MODULE_DIR) << "PulseAudio";
    QTest::newRow("no module") << QDir::tempPath() + "/soramina-no-module" << MODULE_FILE;
}

// The chord shows at once, the actions turn off and say why.
void tst_SoundMenu::noOutput()
{
    QFETCH(QString, moduleFolder);
    QFETCH(QString, reasonHas);

    QVERIFY(open(sound::devicePlayer({moduleFolder})));
    QSignalSpy shown(m_window.form(), &Form1::chordShown);
    QElapsedTimer clock;
    clock.start();
    m_window.clickOption("opcode1", 7);
    QCOMPARE_LT(clock.elapsed(), 500);
    QCOMPARE(shown.size(), 1);
    QCOMPARE(m_window.caption("lblcode"), QStringLiteral("Gm"));

    QAction *play = item(QStringLiteral("コードを鳴らす(&P)"));
    QTRY_VERIFY_WITH_TIMEOUT(!play->isEnabled(), 10000);
    QVERIFY(!play->isChecked());
    for (QAction *item : m_menu->actions()) {
        QVERIFY2(!item->isEnabled(), qPrintable(item->text()));
        QVERIFY2(item->toolTip().contains(reasonHas), qPrintable(item->toolTip()));
    }

    // Where the module loaded, its root object belongs to the GUI thread.
    QPluginLoader module(QDir(moduleFolder).filePath(QStringLiteral(MODULE_FILE)));
    QCOMPARE(module.isLoaded(), moduleFolder == QStringLiteral(MODULE_DIR));
    if (module.isLoaded())
        QCOMPARE(module.instance()->thread(), QThread::currentThread());
}

QTEST_MAIN(tst_SoundMenu)
#include "tst_soundmenu.moc"
