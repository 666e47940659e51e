#include "../sound/fakeoutput.h"
#include "chordboxes.h"
#include "fakewindow.h"
#include "form1fixture.h"
#include "memohistory.h"
#include "noticeline.h"
#include "songplayback.h"
#include "songsettingsstore.h"
#include "soundmenu.h"

#include <QSettings>

// Playing the song against a fake window: the bars it is asked to show on
// the output's clock, and the chord it is given back when playing stops.
class tst_SongPlayback : public QObject
{
    Q_OBJECT
private slots:
    void followsAndGivesBack_data();
    void followsAndGivesBack();
};

void tst_SongPlayback::followsAndGivesBack_data()
{
    QTest::addColumn<bool>("ready"); // the output is open before 曲を再生
    // Each step moves the output's clock to milliseconds after 曲を再生, or is
    // "play" (曲を再生), "stop" (停止), "half" (an option button chosen) or
    // "store ROOT|KIND" (the user shows a chord); then the window was asked
    // what its entry says, ", " between requests.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("asked");

    const QString back = QStringLiteral("playing -1, text C|m, display C|m");
    QTest::newRow("the bars followed, the chord on show given back")
        << true << QStringList {"play", "30", "2030", "stop"}
        << QStringList {
               "", "playing 0, text C|, display C|", "playing 1, text H|, rest N.C.（H）", back};
    QTest::newRow("曲を再生 again stops")
        << true << QStringList {"play", "30", "play"}
        << QStringList {"", "playing 0, text C|, display C|", back};
    QTest::newRow("an option button works on the user's chord, not the bar's")
        << true << QStringList {"play", "30", "half"}
        << QStringList {"", "playing 0, text C|, display C|", "text C|m"};
    QTest::newRow("a chord shown while playing is the one given back")
        << true << QStringList {"play", "30", "store D|7", "stop"}
        << QStringList {
               "", "playing 0, text C|, display C|", "", "playing -1, text D|7, display D|7"};
    QTest::newRow("stopped before the first bar: nothing to give back")
        << true << QStringList {"play", "stop"} << QStringList {"", ""};
    QTest::newRow("曲を再生 waits for the output to open")
        << false << QStringList {"play", "30"}
        << QStringList {"", "playing 0, text C|, display C|"};
}

void tst_SongPlayback::followsAndGivesBack()
{
    QFETCH(bool, ready);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, asked);

    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("soramina.conf")), QSettings::IniFormat);
    const auto log = std::make_shared<OutputLog>();
    const std::unique_ptr<sound::ChordPlayer> player = fakePlayer(log);
    memo::ChordMemo memo;
    memo.loadBytes(slotFile({{0, "C", ""}, {1, "H", ""}, {3, "G", "7"}}), {});
    ui::SongSettingsStore store(nullptr, [] { return QString(); });
    FakeWindow window;
    window.boxes = {QStringLiteral("C"), QStringLiteral("m")};
    ui::NoticeLine notice(&window);
    auto *menu = new SoundMenu(&window, player.get(), &settings);
    memo::MemoHistory history(memo);
    ui::ChordBoxes boxes(memo, &history);
    ui::SongPlayback playback(&window, &boxes, player.get(), &store, &notice, menu);
    if (ready) {
        player->preload();
        QTRY_VERIFY(player->output());
    }

    for (qsizetype i = 0; i < steps.size(); ++i) {
        window.log.clear();
        const QStringList w = steps[i].split(u' ');
        if (w[0] == "play" || w[0] == "stop") {
            window.findChild<QAction *>(w[0] == "play" ? "playSong" : "stopSong")->trigger();
        } else if (w[0] == "half") {
            emit window.halfChosen();
        } else if (w[0] == "store") {
            const QStringList chord = w[1].split(u'|');
            window.store(memo.curslot, chord[0], chord[1]);
        } else {
            QTRY_VERIFY(player->output());
            log->frames = steps[i].toInt() * 44100 / 1000;
            QTRY_VERIFY(!window.log.isEmpty());
        }
        QCOMPARE(window.log.join(QStringLiteral(", ")), asked[i]);
    }
}

QTEST_MAIN(tst_SongPlayback)
#include "tst_songplayback.moc"
