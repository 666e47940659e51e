#include "../sound/fakeoutput.h"
#include "songfixture.h"
#include "songplayer.h"

#include <QSignalSpy>
#include <QTest>

class tst_SongPlayer : public QObject
{
    Q_OBJECT
private slots:
    void followsTheClock_data();
    void followsTheClock();
    void readsOnlyTheBarDue_data();
    void readsOnlyTheBarDue();
};

namespace
{
constexpr int Rate = 44100; // the fake output's
// A timed note as "ms channel note velocity", in milliseconds from the start.
QString noteLine(const sound::TimedNote &n)
{
    return QStringLiteral("%1 %2 %3 %4")
        .arg(n.frame * 1000 / Rate)
        .arg(n.channel)
        .arg(n.note)
        .arg(n.velocity);
}
} // namespace

void tst_SongPlayer::followsTheClock_data()
{
    QTest::addColumn<song::Song>("song");
    QTest::addColumn<bool>("countIn");
    QTest::addColumn<bool>("loop");
    // Each step moves the output's clock to milliseconds from the start, or
    // "stop"s; then the bars announced so far are as given, "end" once stopped.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("announced");
    QTest::addColumn<QStringList>("handed"); // the timed notes the output has at the end

    // At 60 BPM and one beat a bar, a bar is a second; the first bar line
    // is 20 ms from the start, and a bar goes over 100 ms before its line.
    QTest::newRow("handed over ahead, announced on the line, over after the last")
        << songOf({{"C"}, {}, {"G"}}, "", 60, 1) << false << false
        << QStringList {"0", "919", "1019", "1021", "3019", "3021"}
        << QStringList {"", "", "0", "0 1", "0 1", "0 1 2 end"}
        << QStringList {"20 0 48 100", "20 0 52 100", "20 0 55 100", "1020 0 48 0",
               "1020 0 52 0", "1020 0 55 0", "2020 0 55 100", "2020 0 59 100", "2020 0 62 100",
               "3020 0 55 0", "3020 0 59 0", "3020 0 62 0"};
    QTest::newRow("a count-in's click, accented, then the bar, round again")
        << songOf({{"F"}}, "", 60, 1) << true << true << QStringList {"0", "1021", "2021", "3021"}
        << QStringList {"", "-1 0", "-1 0 0", "-1 0 0 0"}
        << QStringList {"20 9 76 127", "1020 0 53 100", "1020 0 57 100", "1020 0 60 100",
               "2020 0 53 0", "2020 0 57 0", "2020 0 60 0", "2020 0 53 100", "2020 0 57 100",
               "2020 0 60 100", "3020 0 53 0", "3020 0 57 0", "3020 0 60 0", "3020 0 53 100",
               "3020 0 57 100", "3020 0 60 100", "4020 0 53 0", "4020 0 57 0", "4020 0 60 0"};
    QTest::newRow("each chord as long as it lasts: two beats of one, a bar of two")
        << shaped(songOf({{"C"}, {"G"}, {"F"}}, "", 60, 2), {1, 1, 0}) << false << false
        << QStringList {"0", "1021", "2021", "4021"}
        << QStringList {"", "0 1", "0 1 2", "0 1 2 end"}
        << QStringList {"20 0 48 100", "20 0 52 100", "20 0 55 100", "1020 0 48 0",
               "1020 0 52 0", "1020 0 55 0", "1020 0 55 100", "1020 0 59 100", "1020 0 62 100",
               "2020 0 55 0", "2020 0 59 0", "2020 0 62 0", "2020 0 53 100", "2020 0 57 100",
               "2020 0 60 100", "4020 0 53 0", "4020 0 57 0", "4020 0 60 0"};
    QTest::newRow("a stop drops what is not yet due")
        << songOf({{"C"}, {"G"}}, "", 60, 1) << false << false << QStringList {"500", "stop"}
        << QStringList {"0", "0 end"} << QStringList {"20 0 48 100", "20 0 52 100", "20 0 55 100"};
}

void tst_SongPlayer::followsTheClock()
{
    QFETCH(song::Song, song);
    QFETCH(bool, countIn);
    QFETCH(bool, loop);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, announced);
    QFETCH(QStringList, handed);

    const auto log = std::make_shared<OutputLog>();
    FakeOutput output(log);
    song::SongPlayer player;
    QStringList heard;
    connect(&player, &song::SongPlayer::barStarted, this,
        [&heard](int bar) { heard << QString::number(bar); });
    connect(&player, &song::SongPlayer::stopped, this, [&heard] { heard << "end"; });

    player.start(output, song::SongPlayer::sourceOf(song), {.countIn = countIn, .loop = loop});
    for (qsizetype i = 0; i < steps.size(); ++i) {
        if (steps[i] == "stop")
            player.stop();
        else
            log->frames = steps[i].toLongLong() * Rate / 1000;
        QTRY_COMPARE(heard.join(u' '), announced[i]);
    }
    QStringList notes;
    for (const sound::TimedNote &n : log->timed)
        notes << noteLine(n);
    QCOMPARE(notes, handed);
}

void tst_SongPlayer::readsOnlyTheBarDue_data()
{
    QTest::addColumn<int>("ms"); // where the output's clock stands while the timer ticks
    QTest::addColumn<bool>("loop");
    QTest::addColumn<QList<int>>("read"); // the bars read, in order: each once, when due

    // 30 bars of a second each, the first line 20 ms from the start.
    QTest::newRow("at the start, the first bar alone") << 0 << false << QList<int> {0};
    QTest::newRow("the third bar coming") << 2000 << false << QList<int> {0, 1, 2};
    QTest::newRow("round again, the first bar once more")
        << 30000 << true
        << QList<int> {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21,
               22, 23, 24, 25, 26, 27, 28, 29, 0};
}

void tst_SongPlayer::readsOnlyTheBarDue()
{
    QFETCH(int, ms);
    QFETCH(bool, loop);
    QFETCH(QList<int>, read);

    const auto log = std::make_shared<OutputLog>();
    FakeOutput output(log);
    song::SongPlayer player;
    QList<int> reads;
    const song::Bar chord = song::barOf(QStringLiteral("C"), {});
    player.start(output,
        {60, 1, [] { return 30; },
            [&reads, &chord](int bar) {
                reads << bar;
                return chord;
            }},
        {.loop = loop});
    log->frames = std::int64_t(ms) * Rate / 1000;
    // Many ticks of the player's timer, the clock standing still.
    QTest::qWait(20 * song::SongPlayer::FollowMs);
    QCOMPARE(reads, read);
}

QTEST_MAIN(tst_SongPlayer)
#include "tst_songplayer.moc"
