#include "fakemiditransport.h"
#include "fakeoutput.h"
#include "form1fixture.h"
#include "midimenu.h"

#include <QAction>
#include <QMenuBar>
#include <QSettings>
#include <QSignalSpy>

using midi::MidiMessage;
using Kind = MidiMessage::Kind;
using Messages = QList<MidiMessage>;

namespace
{
const QString KeyboardOut = QStringLiteral("Keyboard:chord out");
const QString SynthIn = QStringLiteral("Synth:keyboard in");

MidiMessage on(int note, int channel = 0)
{
    return {Kind::NoteOn, channel, note, 100};
}
MidiMessage off(int note, int channel = 0)
{
    return {Kind::NoteOff, channel, note, 64};
}

// What a spy on received() caught, in order.
Messages caught(const QSignalSpy &spy)
{
    Messages got;
    for (const auto &args : spy)
        got << args.at(0).value<MidiMessage>();
    return got;
}
} // namespace

// The MIDI menu on the real window, over an in-memory MIDI system holding a
// keyboard and a synth beside the program.
class tst_MidiMenu : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void played_data();
    void played();
    void chordsGoOut();
    void refusedOutput();
    void rememberedEndpointComesBack();
    void withoutSequencer();
    void playedNotesSound_data();
    void playedNotesSound();

private:
    void open(const QString &unavailable = {}, sound::ChordPlayer *player = nullptr);
    void play(const Messages &messages);

    // The bus and the settings outlive the window, which uses them to the end.
    FakeMidiBus m_bus;
    std::unique_ptr<QTemporaryDir> m_settingsDir;
    std::unique_ptr<QSettings> m_settings;
    Form1Fixture m_fixture;
    MidiMenu *m_menu = nullptr;
    std::unique_ptr<FakeMidiTransport> m_keyboard;
    std::unique_ptr<FakeMidiTransport> m_synth;
};

void tst_MidiMenu::init()
{
    qRegisterMetaType<MidiMessage>();
    m_settingsDir = std::make_unique<QTemporaryDir>();
    m_settings = std::make_unique<QSettings>(
        m_settingsDir->filePath(QStringLiteral("soramina.conf")), QSettings::IniFormat);
    m_keyboard = std::make_unique<FakeMidiTransport>(&m_bus, QStringLiteral("Keyboard"));
    m_synth = std::make_unique<FakeMidiTransport>(&m_bus, QStringLiteral("Synth"));
}

void tst_MidiMenu::open(const QString &unavailable, sound::ChordPlayer *player)
{
    const MidiMenu::Opener fake = [this, unavailable](
                                      QObject *parent, const midi::TransportReady &ready) {
        ready({new FakeMidiTransport(&m_bus, QStringLiteral("Soramina"), parent, unavailable), {}});
    };
    QVERIFY(m_fixture.open(nullptr, {}, {.midi = fake, .settings = m_settings.get()}));
    m_menu = m_fixture.control<MidiMenu>(QStringLiteral("midi"));
    m_menu->playAlongWith(player);
    m_menu->start();
}

// Plays from the keyboard and waits longer than a chord takes to settle.
void tst_MidiMenu::play(const Messages &messages)
{
    for (const MidiMessage &m : messages)
        m_keyboard->send(m);
    QTest::qWait(200);
}

void tst_MidiMenu::played_data()
{
    QTest::addColumn<Messages>("messages");
    QTest::addColumn<bool>("missingFifth");
    QTest::addColumn<QString>("shown"); // the chord-name line; nothing: it stays as it was
    QTest::newRow("E G C is C major") << Messages {on(64), on(67), on(72)} << false << "C";
    QTest::newRow("A C E G, A lowest")
        << Messages {on(57), on(60), on(64), on(67)} << false << "Am7";
    QTest::newRow("two channels") << Messages {on(62), on(66, 1), on(69, 2)} << false << "D";
    QTest::newRow("a set that fits nothing") << Messages {on(60), on(61)} << false << QString();
    QTest::newRow("released, then a new chord")
        << Messages {on(60), on(64), on(67), off(60), off(64), off(67), on(62), on(65), on(69)}
        << false << "Dm";
    QTest::newRow("no fifth, option off")
        << Messages {on(60), on(64), on(70)} << false << QString();
    QTest::newRow("no fifth, option on") << Messages {on(60), on(64), on(70)} << true << "C7";
}

// What is played is written into the boxes and shown, markers and the
// receiving slot included, as the 表示 button would.
void tst_MidiMenu::played()
{
    QFETCH(Messages, messages);
    QFETCH(bool, missingFifth);
    QFETCH(QString, shown);
    m_settings->setValue(QStringLiteral("midi/input"), KeyboardOut);
    open();
    m_fixture.control<QAction>(QStringLiteral("midiMissingFifth"))->setChecked(missingFifth);
    m_fixture.clickOption("opcode1", 5); // F minor
    m_fixture.clickSlot(4);
    m_fixture.clickOption("opcode1", 5);
    if (shown.isNull())
        shown = m_fixture.caption("lblcode");
    play(messages);
    QCOMPARE(m_fixture.caption("lblcode"), shown);
    QCOMPARE(m_fixture.box("txtcode1")->text() + m_fixture.box("txtcode2")->text(), shown);
    QCOMPARE(m_fixture.slotCaption(4), shown);
}

// G then 7: G minor goes out, is released, then G7; MIDI スルー passes the
// keyboard on; everything is released when the program ends, the note
// passed through as well.
void tst_MidiMenu::chordsGoOut()
{
    open();
    m_fixture.menuItem("midiOutput", SynthIn)->trigger();
    QVERIFY(m_fixture.menuItem("midiOutput", SynthIn)->isChecked());
    QCOMPARE(m_settings->value(QStringLiteral("midi/output")).toString(), SynthIn);
    QSignalSpy heard(m_synth.get(), &midi::MidiTransport::received);
    m_fixture.clickOption("opcode1", 7); // G, with the kind m from the start
    m_fixture.clickOption("opcode2", 2); // 7
    const Messages chords {
        on(55), on(58), on(62), off(55), off(58), off(62), on(55), on(59), on(62), on(65)};
    QTRY_COMPARE(heard.count(), chords.size());
    QCOMPARE(caught(heard), chords);

    heard.clear();
    m_fixture.control<QAction>(QStringLiteral("midiThru"))->setChecked(true);
    m_fixture.menuItem("midiInput", KeyboardOut)->trigger();
    m_keyboard->send(on(40, 3));
    QTRY_COMPARE(heard.count(), 1);
    QCOMPARE(heard.takeFirst().at(0).value<MidiMessage>(), on(40, 3));

    delete m_menu;
    QTRY_COMPARE(heard.count(), 6);
    QCOMPARE(caught(heard),
        (Messages {off(55), off(59), off(62), off(65), off(40, 3), {Kind::Control, 0, 123, 0}}));
}

// The output refusing, the menu says so once, on a disabled item and in its
// tooltip; the output chosen again, what it left sounding is released, the
// notice goes and chords go out again.
void tst_MidiMenu::refusedOutput()
{
    m_settings->setValue(QStringLiteral("midi/output"), SynthIn);
    open();
    auto *soramina = m_menu->findChild<FakeMidiTransport *>();
    QSignalSpy heard(m_synth.get(), &midi::MidiTransport::received);
    m_fixture.clickOption("opcode1", 7); // G minor goes out
    soramina->setRefusing(true);
    m_fixture.clickOption("opcode1", 2);
    m_fixture.clickOption("opcode1", 4);
    const auto notices = m_menu->findChildren<QAction *>(QStringLiteral("midiRefused"));
    QCOMPARE(notices.size(), 1);
    QVERIFY(!notices.first()->isEnabled());
    QCOMPARE(m_menu->actions().first(), notices.first());
    const QString notice = notices.first()->text();
    QCOMPARE(m_menu->menuAction()->toolTip(), notice);

    soramina->setRefusing(false);
    m_fixture.menuItem("midiOutput", SynthIn)->trigger();
    QVERIFY(!m_menu->findChild<QAction *>(QStringLiteral("midiRefused")));
    QVERIFY(m_menu->menuAction()->toolTip() != notice);
    m_fixture.clickOption("opcode1", 9);
    QTRY_COMPARE(heard.count(), 10);
    QCOMPARE(caught(heard),
        (Messages {on(55), on(58), on(62), off(55), off(58), off(62), {Kind::Control, 0, 123, 0},
            on(57), on(60), on(64)}));
}

// A choice is kept by name: the keyboard unplugged and plugged in again is
// connected again, and the menu follows it.
void tst_MidiMenu::rememberedEndpointComesBack()
{
    m_settings->setValue(QStringLiteral("midi/input"), KeyboardOut);
    m_keyboard.reset();
    open();
    QVERIFY(m_fixture.menuItem("midiInput", KeyboardOut)->isChecked()); // listed while away
    QSignalSpy changed(
        m_menu->findChild<midi::MidiTransport *>(), &midi::MidiTransport::endpointsChanged);
    m_keyboard = std::make_unique<FakeMidiTransport>(&m_bus, QStringLiteral("Keyboard"));
    QVERIFY(changed.wait(1000));
    play({on(67), on(71), on(74)});
    QCOMPARE(m_fixture.caption("lblcode"), QStringLiteral("G"));

    m_fixture.menuItem("midiInput", QStringLiteral("なし"))->trigger();
    QCOMPARE(m_settings->value(QStringLiteral("midi/input")).toString(), QString());
    play({off(67), off(71), off(74), on(69), on(72), on(76)});
    QCOMPARE(m_fixture.caption("lblcode"), QStringLiteral("G"));
}

void tst_MidiMenu::withoutSequencer()
{
    open(QStringLiteral("no /dev/snd/seq"));
    const QList<QAction *> actions = m_menu->actions();
    QVERIFY(actions.first()->text().contains(QStringLiteral("no /dev/snd/seq")));
    for (QAction *a : actions)
        QVERIFY(!a->isEnabled());
    m_fixture.clickOption("opcode1", 2);
    QCOMPARE(m_fixture.caption("lblcode"), QStringLiteral("Dm"));
}

void tst_MidiMenu::playedNotesSound_data()
{
    QTest::addColumn<bool>("soundOn");
    QTest::addColumn<int>("switchedOffAfter"); // 音 turned off after this many messages; -1 never
    QTest::addColumn<QStringList>("heard");
    QTest::newRow("sound on") << true << -1 << QStringList {"on 62", "off 62", "on 64", "off 64"};
    QTest::newRow("sound off") << false << -1 << QStringList {};
    QTest::newRow("sound turned off while a key is held: the key let go")
        << true << 1 << QStringList {"on 62", "off 62"};
}

// With 音 on, what is played sounds too, a note-on of velocity 0 ending it;
// 音 turned off leaves nothing sounding.
void tst_MidiMenu::playedNotesSound()
{
    QFETCH(bool, soundOn);
    QFETCH(int, switchedOffAfter);
    QFETCH(QStringList, heard);
    auto log = std::make_shared<OutputLog>();
    const auto player = fakePlayer(log);
    player->setPlaysShownChords(soundOn);
    m_settings->setValue(QStringLiteral("midi/input"), KeyboardOut);
    open({}, player.get());
    play({on(60), off(60)}); // the first note opens the output
    QTRY_VERIFY(log->opened == int(soundOn));
    log->events.clear();
    const Messages messages {on(62), off(62), on(64), {Kind::NoteOn, 0, 64, 0}};
    if (switchedOffAfter >= 0) {
        play(messages.mid(0, switchedOffAfter));
        QTRY_COMPARE(log->events.size(), switchedOffAfter);
        player->setPlaysShownChords(false);
        play(messages.mid(switchedOffAfter));
    } else {
        play(messages);
    }
    QTRY_COMPARE(log->events, heard);
}

QTEST_MAIN(tst_MidiMenu)
#include "tst_midimenu.moc"
