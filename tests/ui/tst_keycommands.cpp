#include "chordboxes.h"
#include "editcommands.h"
#include "fakewindow.h"
#include "form1fixture.h"
#include "keycommands.h"
#include "memohistory.h"
#include "noticeline.h"
#include "songsettingsstore.h"

#include <QSettings>

// The song's key against a fake window: the key line, the boxes' degrees,
// the key's chords, and what 移調 does to a chosen key.
class tst_KeyCommands : public QObject
{
    Q_OBJECT
private slots:
    void key_data();
    void key();
};

void tst_KeyCommands::key_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("degreesKept"); // 度数で表示 was on when the window last closed
    // "keep KEY CAPO" (キーとカポ; "auto" for 自動), "store N ROOT|KIND",
    // "transpose N", "undo", "degrees" (度数で表示), "triadN"/"seventhN" (キーのコード).
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("line"); // the key line
    QTest::addColumn<QStringList>("degrees"); // boxes 1 to 4's tooltip lines
    QTest::addColumn<QStringList>("captions"); // shown in place of their names
    QTest::addColumn<QStringList>("asked"); // of the window: chords chosen, captions

    const QByteArray inG = slotFile({{0, "G", ""}, {1, "E", "m7"}, {2, "C", ""}, {3, "D", "7"}});
    const QStringList gDegrees {"度数: Ⅰ", "度数: Ⅵm7", "度数: Ⅳ", "度数: Ⅴ7"};
    const QStringList none {"", "", "", ""};
    QTest::newRow("found from the chords, degrees in it")
        << inG << false << QStringList {} << "キー: G (自動)" << gDegrees << QStringList {}
        << QStringList {};
    QTest::newRow("chosen, with a capo; a flat key spells B♭")
        << inG << false << QStringList {"keep F 3"} << "キー: F (指定) カポ 3"
        << QStringList {"度数: Ⅱ", "度数: Ⅶm7", "度数: Ⅴ", "度数: Ⅵ7"} << QStringList {}
        << QStringList {};
    QTest::newRow("no chord: no key, no degrees, no key chords")
        << slotFile({{0, "H", ""}}) << false << QStringList {"triad1"} << "キー: ? (コードなし)"
        << none << QStringList {} << QStringList {};
    QTest::newRow("each chord stored finds the key again")
        << slotFile({}) << false
        << QStringList {"store 0 A|m", "store 1 G|", "store 2 F|", "store 3 E|"}
        << "キー: Am (自動)" << QStringList {"度数: Ⅰm", "度数: ♭Ⅶ", "度数: ♭Ⅵ", "度数: Ⅴ"}
        << QStringList {}
        << QStringList {"caption 0 Am", "caption 1 G", "caption 2 F", "caption 3 E"};
    QTest::newRow("度数で表示 shows degrees in place of names, kept")
        << inG << false << QStringList {"degrees"} << "キー: G (自動)" << gDegrees
        << QStringList {"Ⅰ", "Ⅵm7", "Ⅳ", "Ⅴ7"} << QStringList {};
    QTest::newRow("度数で表示 as it was kept; off again")
        << inG << true << QStringList {"degrees"} << "キー: G (自動)" << gDegrees << QStringList {}
        << QStringList {};
    QTest::newRow("the key's chords, spelled by the key")
        << slotFile({{0, "F", ""}, {1, "C", "7"}}) << false
        << QStringList {"triad4", "triad7", "seventh5", "seventh7"} << "キー: F (自動)"
        << QStringList {"度数: Ⅰ", "度数: Ⅴ7", "", ""} << QStringList {}
        << QStringList {"chosen Bb|", "chosen E|m7-5", "chosen C|7", "chosen E|m7-5"};
    QTest::newRow("移調 moves a chosen key along; undo both")
        << inG << false << QStringList {"keep G 2", "transpose 2"} << "キー: A (指定) カポ 2"
        << gDegrees << QStringList {}
        << QStringList {"caption 0 A", "caption 1 F#m7", "caption 2 D", "caption 3 E7"};
    QTest::newRow("移調 undone takes the chosen key back")
        << inG << false << QStringList {"keep G 0", "transpose -1", "undo"} << "キー: G (指定)"
        << gDegrees << QStringList {}
        << QStringList {"caption 0 Gb", "caption 1 Ebm7", "caption 2 B", "caption 3 Db7",
               "caption 0 G", "caption 1 Em7", "caption 2 C", "caption 3 D7"};
    // Its roots fit C's signature best; by its chords it is in A, six semitones below E♭.
    QTest::newRow("自動 transposition spells by the key in effect")
        << slotFile({{0, "A", ""}, {1, "D", ""}, {2, "E", "7"}}) << false
        << QStringList {"transpose 6"} << "キー: Eb (自動)"
        << QStringList {"度数: Ⅰ", "度数: Ⅳ", "度数: Ⅴ7", ""} << QStringList {}
        << QStringList {"caption 0 Eb", "caption 1 Ab", "caption 2 Bb7"};
}

void tst_KeyCommands::key()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, degreesKept);
    QFETCH(QStringList, steps);
    QFETCH(QString, line);
    QFETCH(QStringList, degrees);
    QFETCH(QStringList, captions);
    QFETCH(QStringList, asked);

    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("soramina.conf")), QSettings::IniFormat);
    settings.setValue("key/degrees", degreesKept);
    memo::ChordMemo memo;
    memo.loadBytes(file, {});
    FakeWindow window;
    memo::MemoHistory history(memo);
    ui::NoticeLine notice(&window);
    ui::ChordBoxes boxes(memo, &history);
    ui::EditCommands edit(&window, &boxes, &notice);
    ui::SongSettingsStore store(&settings, [] { return QStringLiteral("/songs/code.dat"); });
    ui::KeyCommands key(&window, &boxes, &edit, &store, &settings);
    const auto item = [&window](const QString &name) { return window.findChild<QAction *>(name); };
    for (const QString &step : std::as_const(steps)) {
        const QStringList w = step.split(u' ');
        const QStringList chord = w.value(2).split(u'|');
        if (w[0] == "keep") {
            song::SongSettings song = store.load();
            song.key = chord::parseKey(w[1].toStdString());
            song.capo = w[2].toInt();
            key.keep(song);
        } else if (w[0] == "store") {
            window.store(w[1].toInt(), chord.value(0), chord.value(1));
        } else if (w[0] == "transpose") {
            edit.transpose(w[1].toInt(), chord::Spelling::Auto);
        } else {
            item(w[0])->trigger();
        }
    }
    QCOMPARE(window.findChild<QLabel *>("lblkey")->text(), line);
    QCOMPARE(window.degreeLines.mid(0, 4), degrees);
    QCOMPARE(window.degreeCaptions.mid(0, 4), captions);
    QCOMPARE(window.log, asked);
    QCOMPARE(settings.value("key/degrees").toBool(), item("degrees")->isChecked());
}

QTEST_MAIN(tst_KeyCommands)
#include "tst_keycommands.moc"
