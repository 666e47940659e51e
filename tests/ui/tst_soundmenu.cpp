#include "../sound/fakeoutput.h"
#include "colour.h"
#include "form1fixture.h"
#include "soundmenu.h"

#include <QAccessible>
#include <QMenuBar>
#include <QPluginLoader>
#include <QSettings>
#include <QSignalSpy>

#include <algorithm>

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
    void playsTheSong_data();
    void playsTheSong();
    void eachLetterOnce();

private:
    SoundMenu *open(std::unique_ptr<sound::ChordPlayer> player);
    QAction *item(const QString &text) const
    {
        return m_window.menuItem(QStringLiteral("sound"), text);
    }

    // The window goes first, then the player and the settings it worked with.
    QTemporaryDir m_settingsDir;
    std::unique_ptr<QSettings> m_settings;
    std::unique_ptr<sound::ChordPlayer> m_player;
    Form1Fixture m_window;
    SoundMenu *m_menu = nullptr;
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
    QTest::addColumn<bool>("retries"); // コードを鳴らす, turned on again, opens the output again

    // The test runs with no audio server and no ALSA device configured.
    QTest::newRow("no audio server or device")
        << QStringLiteral(MODULE_DIR) << "PulseAudio" << true;
    QTest::newRow("no module") << QDir::tempPath() + "/soramina-no-module" << MODULE_FILE << false;
}

// The chord shows at once, the actions turn off and say why; an output that
// failed to open is tried again from the menu.
void tst_SoundMenu::noOutput()
{
    QFETCH(QString, moduleFolder);
    QFETCH(QString, reasonHas);
    QFETCH(bool, retries);

    QVERIFY(open(sound::devicePlayer({moduleFolder})));
    QSignalSpy unavailable(m_player.get(), &sound::ChordPlayer::unavailable);
    QSignalSpy shown(m_window.form(), &Form1::chordShown);
    QElapsedTimer clock;
    clock.start();
    m_window.clickOption("opcode1", 7);
    QCOMPARE_LT(clock.elapsed(), 500);
    QCOMPARE(shown.size(), 1);
    QCOMPARE(m_window.caption("lblcode"), QStringLiteral("Gm"));

    QAction *play = item(QStringLiteral("コードを鳴らす(&P)"));
    QTRY_VERIFY_WITH_TIMEOUT(!m_player->isAvailable(), 10000);
    const qsizetype said = unavailable.size();
    QVERIFY(!play->isChecked());
    for (QAction *item : m_menu->actions()) {
        QVERIFY2(item->isEnabled() == (retries && item == play), qPrintable(item->text()));
        QVERIFY2(item->toolTip().contains(reasonHas), qPrintable(item->toolTip()));
        QCOMPARE(item->toolTip().contains(QStringLiteral("もう一度オンにするまで音は出ません")),
            retries);
    }
    if (retries) {
        play->trigger();
        QVERIFY(play->isChecked());
        QVERIFY(item(QStringLiteral("もう一度鳴らす(&R)"))->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(unavailable.size() == said + 1, 10000);
        QVERIFY(!play->isChecked());
        QVERIFY(!item(QStringLiteral("もう一度鳴らす(&R)"))->isEnabled());
    }

    // Where the module loaded, its root object belongs to the GUI thread.
    QPluginLoader module(QDir(moduleFolder).filePath(QStringLiteral(MODULE_FILE)));
    QCOMPARE(module.isLoaded(), moduleFolder == QStringLiteral(MODULE_DIR));
    if (module.isLoaded())
        QCOMPARE(module.instance()->thread(), QThread::currentThread());
}

void tst_SoundMenu::playsTheSong_data()
{
    QTest::addColumn<QByteArray>("memo"); // a ChordPro song when it starts with "{"
    QTest::addColumn<int>("selected"); // -1: none
    QTest::addColumn<bool>("countIn");
    QTest::addColumn<bool>("loop");
    // Each step moves the output's clock to milliseconds after 曲を再生, or
    // presses "F5", or "type"s a root and Enter, or "edit" stores Am into box
    // 1 (counted from 0); then "box name root|kind markers" shows, "-" for no
    // box playing, with ＥＲＲＯＲ when it is in view.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("shown");

    const QByteArray memo = slotFile({{0, "C", ""}, {1, "H", ""}, {3, "G", "7"}});
    const QByteArray rests = slotFile({{0, "C", ""}, {1, "H", ""}, {3, "G", "7"}, {4, "N.C.", ""}});
    // A bar is 2 s; the first bar line is 20 ms after the start.
    QTest::newRow("from box 1, to the end, the chord before shown again")
        << memo << -1 << false << false << QStringList {"30", "2030", "4030", "6030", "8030"}
        << QStringList {"0 C C| 3", "1 N.C.（H） H| 0", "2 N.C. | 0", "3 G7 G|7 4", "- Cm C|m 3"};
    QTest::newRow("from the selected box")
        << memo << 3 << false << false << QStringList {"30", "2030"}
        << QStringList {"3 G7 G|7 4", "- G7 G|7 4"};
    QTest::newRow("a count-in bar first, then box 1")
        << memo << -1 << true << false << QStringList {"30", "2030"}
        << QStringList {"- Cm C|m 3", "0 C C| 3"};
    QTest::newRow("F5 again stops at once")
        << memo << -1 << false << false << QStringList {"2030", "F5"}
        << QStringList {"1 N.C.（H） H| 0", "- Cm C|m 3"};
    QTest::newRow("an edit while playing is heard when its bar comes")
        << memo << -1 << false << false << QStringList {"30", "edit", "2030"}
        << QStringList {"0 C C| 3", "0 A A| 3", "1 A A| 3"};
    QTest::newRow("a rest: no markers, no error, the name line says so")
        << rests << -1 << false << false << QStringList {"30", "2030", "4030", "6030", "8030"}
        << QStringList {
               "0 C C| 3", "1 N.C.（H） H| 0", "2 N.C. | 0", "3 G7 G|7 4", "4 N.C. N.C.| 0"};
    QTest::newRow("a typed chord shown, the boxes follow the bars again")
        << rests << -1 << false << false << QStringList {"30", "type D", "2030", "6030"}
        << QStringList {"0 C C| 3", "0 D D| 3", "1 N.C.（H） H| 0", "3 G7 G|7 4"};
    QTest::newRow("the loop goes back to the box playing started from")
        << rests << 1 << false << true << QStringList {"30", "4030", "6030", "8030"}
        << QStringList {"1 N.C.（H） H| 0", "3 G7 G|7 4", "4 N.C. N.C.| 0", "1 N.C.（H） H| 0"};
    // Chords 29 (D), 30 (E, two beats) and 31 (G7, two beats): the page turns to box 0.
    QTest::newRow("a song turns its page as it plays on, two-beat chords a beat apart")
        << "{title: Long}\n" + QByteArray("[C]\n").repeated(29) + "[D]\n| [E] . [G7] . |\n"
        << 29 << false << false << QStringList {"30", "2030", "3030"}
        << QStringList {"29 D D| 3", "0 E E| 3", "1 G7 G|7 4"};
}

// The window follows the bars on the output's clock, storing nothing.
void tst_SoundMenu::playsTheSong()
{
    QFETCH(QByteArray, memo);
    QFETCH(int, selected);
    QFETCH(bool, countIn);
    QFETCH(bool, loop);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, shown);

    const auto log = std::make_shared<OutputLog>();
    m_window.reset();
    m_player = fakePlayer(log);
    m_settings = std::make_unique<QSettings>(
        m_settingsDir.filePath(QStringLiteral("soramina.conf")), QSettings::IniFormat);
    const bool song = memo.startsWith('{');
    QVERIFY(m_window.open(song ? nullptr : &memo, {},
        {.player = m_player.get(), .settings = m_settings.get()}, song ? &memo : nullptr));
    QTRY_VERIFY(m_player->output()); // loaded once the window is up
    if (selected >= 0)
        m_window.clickSlot(selected);
    item(QStringLiteral("カウント(&C)"))->setChecked(countIn);
    m_window.control<QAction>(QStringLiteral("loop"))->setChecked(loop);
    QAction *play = item(QStringLiteral("曲を再生(&Y)"));
    QCOMPARE(play->shortcut(), QKeySequence(Qt::Key_F5));
    QCOMPARE(item(QStringLiteral("停止(&S)"))->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F5));
    const QByteArray file = m_window.savedFile();
    QAction *undo = m_window.menuItem(QStringLiteral("edit"), QStringLiteral("元に戻す(&U)"));
    const bool couldUndo = undo->isEnabled();

    play->trigger();
    // The first bar's notes, before its bar line; a rest has none.
    if (!shown.constFirst().contains(QStringLiteral("N.C.")))
        QVERIFY(!log->timed.empty());
    const QColor playing = widgets::hexColour(QStringLiteral("&h80c0ff"));
    QAccessibleInterface *keyboard
        = QAccessible::queryAccessibleInterface(m_window.control("Label12"));
    for (qsizetype i = 0; i < steps.size(); ++i) {
        if (steps[i] == "F5") {
            QTest::keyClick(m_window.form(), Qt::Key_F5);
        } else if (steps[i] == "edit") {
            m_window.clickSlot(1);
            m_window.clickOption("opcode1", 9); // A, on the box's empty kind
        } else if (steps[i].startsWith(QStringLiteral("type "))) {
            m_window.type("txtcode1", steps[i].section(u' ', 1));
            QTest::keyClick(m_window.box("txtcode1"), Qt::Key_Return);
        } else {
            log->frames = steps[i].toInt() * 44100 / 1000;
        }
        const auto state = [&] {
            QStringList marked;
            for (int k = 0; k < memo::MemoSlotCount; ++k) {
                if (m_window.slotColour(k) == playing)
                    marked << QString::number(k);
            }
            const QList<QPoint> markers = m_window.markers();
            QString s = (marked.isEmpty() ? QStringLiteral("-") : marked.join(u',')) + u' '
                + m_window.caption("lblcode") + u' ' + m_window.box("txtcode1")->text() + u'|'
                + m_window.box("txtcode2")->text() + u' '
                + QString::number(
                    std::ranges::count_if(markers, [](QPoint m) { return m.x() >= 0; }));
            if (m_window.top("lblerror") < 8000)
                s += QStringLiteral(" ＥＲＲＯＲ");
            return s;
        };
        QTRY_COMPARE(state(), shown[i]);
        // Assistive technology hears the bar as the name line shows it, and
        // which box plays.
        const QString name = m_window.caption("lblcode");
        QCOMPARE(keyboard->text(QAccessible::Name), name);
        QCOMPARE(keyboard->text(QAccessible::Description).startsWith(QStringLiteral("休み")),
            name.contains(QStringLiteral("N.C.")));
        const QString box = shown[i].section(u' ', 0, 0);
        if (box != "-") {
            QAccessibleInterface *a
                = QAccessible::queryAccessibleInterface(m_window.control("lblslot", box.toInt()));
            QVERIFY2(a->text(QAccessible::Name).endsWith(QStringLiteral("（再生中）")),
                qPrintable(a->text(QAccessible::Name)));
        }
    }
    if (shown.constLast().startsWith(u'-')) {
        // Nothing sounds after the stop, and nothing was stored.
        QVERIFY(std::ranges::all_of(
            log->timed, [&](const sound::TimedNote &n) { return n.frame <= log->frames; }));
        QCOMPARE(m_window.savedFile(), file);
        QCOMPARE(undo->isEnabled(), couldUndo);
    }
}

// No two items of a menu answer the same letter, nor two menus of the bar.
void tst_SoundMenu::eachLetterOnce()
{
    QVERIFY(open(fakePlayer(std::make_shared<OutputLog>())));
    QList<QList<QAction *>> menus {m_window.form()->menuBar()->actions()};
    for (qsizetype i = 0; i < menus.size(); ++i) {
        QHash<QKeySequence, QString> taken;
        const QList<QAction *> items = menus[i]; // menus grows below
        for (QAction *action : items) {
            if (action->menu())
                menus << action->menu()->actions();
            const QKeySequence letter = QKeySequence::mnemonic(action->text());
            if (letter.isEmpty())
                continue;
            QVERIFY2(!taken.contains(letter),
                qPrintable(taken.value(letter) + QStringLiteral(" / ") + action->text()));
            taken.insert(letter, action->text());
        }
    }
}

QTEST_MAIN(tst_SoundMenu)
#include "tst_soundmenu.moc"
