#include "schedule.h"
#include "songfixture.h"

#include <QTest>

class tst_Schedule : public QObject
{
    Q_OBJECT
private slots:
    void events_data();
    void events();
};

namespace
{
const char *const TypeNames[] = {"off", "start", "click", "on"};

// Events of one sample, type and bar on one line: "88200 on 1 v100: 48 52 55".
QStringList lines(const std::vector<song::Event> &events)
{
    QStringList lines;
    QString head;
    for (const song::Event &e : events) {
        QString h = QStringLiteral("%1 %2").arg(e.sample).arg(TypeNames[int(e.type)]);
        if (e.type != song::EventType::Click)
            h += QStringLiteral(" %1").arg(e.bar);
        if (e.velocity)
            h += QStringLiteral(" v%1").arg(e.velocity);
        const bool note = e.type == song::EventType::NoteOn || e.type == song::EventType::NoteOff;
        if (note && h == head) {
            lines.last() += QStringLiteral(" %1").arg(e.note);
            continue;
        }
        head = h;
        lines << (note ? h + QStringLiteral(": %1").arg(e.note) : h);
    }
    return lines;
}
} // namespace

void tst_Schedule::events_data()
{
    QTest::addColumn<song::Song>("song");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("firstBar");
    QTest::addColumn<bool>("countIn");
    QTest::addColumn<bool>("loop");
    QTest::addColumn<QStringList>("events"); // every slot's, up to slotCount()
    QTest::addColumn<QStringList>("later"); // "slot: bar at sample", or "slot: end"
    QTest::addColumn<QStringList>("lastLater"); // the last of those slots playing a D

    QTest::newRow("bars on the 2 s grid; H and an empty box are rests")
        << songOf({{"C"}, {"H"}, {}, {"G"}}) << 44100 << 0 << false << false
        << QStringList {"0 start 0", "0 on 0 v100: 48 52 55", "88200 off 0: 48 52 55",
               "88200 start 1", "176400 start 2", "264600 start 3", "264600 on 3 v100: 55 59 62",
               "352800 off 3: 55 59 62"}
        << QStringList {"3: bar 3 at 264600", "4: end"} << QStringList {};
    QTest::newRow("a chord struck again is let go first")
        << songOf({{"E", "m"}, {"E", "m"}}, "", 60, 1) << 1000 << 0 << false << false
        << QStringList {"0 start 0", "0 on 0 v100: 52 55 59", "1000 off 0: 52 55 59",
               "1000 start 1", "1000 on 1 v100: 52 55 59", "2000 off 1: 52 55 59"}
        << QStringList {"1: bar 1 at 1000"}
        << QStringList {"1000 start 1", "1000 on 1 v100: 50 54 57", "2000 off 1: 50 54 57"};
    QTest::newRow("bar lines from their index: no drift in a long loop")
        << songOf({{"A"}, {}}, "", 97, 3) << 48000 << 0 << false << true
        << QStringList {"0 start 0", "0 on 0 v100: 57 61 64", "89072 off 0: 57 61 64",
               "89072 start 1"}
        << QStringList {"2: bar 0 at 178144", "1000: bar 0 at 89072165", "1001: bar 1 at 89161237"}
        << QStringList {
               "89161237 start 1", "89161237 on 1 v100: 50 54 57", "89250309 off 1: 50 54 57"};
    QTest::newRow("count-in: a bar of clicks, the first accented")
        << songOf({{"F"}}, "", 120, 3) << 44100 << 0 << true << false
        << QStringList {"0 start -1", "0 click v127", "22050 click v80", "44100 click v80",
               "66150 start 0", "66150 on 0 v100: 53 57 60", "132300 off 0: 53 57 60"}
        << QStringList {"0: bar -1 at 0", "1: bar 0 at 66150", "2: end"} << QStringList {};
    QTest::newRow("from a later bar, after a count-in, round to that bar")
        << songOf({{"C"}, {"H"}, {"G"}}, "", 120, 2) << 1200 << 1 << true << true
        << QStringList {"0 start -1", "0 click v127", "600 click v80", "1200 start 1",
               "2400 start 2", "2400 on 2 v100: 55 59 62", "3600 off 2: 55 59 62"}
        << QStringList {"3: bar 1 at 3600", "4: bar 2 at 4800", "5: bar 1 at 6000"}
        << QStringList {"6000 start 1", "6000 on 1 v100: 50 54 57", "7200 off 1: 50 54 57"};
    QTest::newRow("lengths: each chord as long as it lasts, round again from the first")
        << shaped(songOf({{"C"}, {"G"}, {"D"}}, "", 120, 4), {2, 0, 1}) << 1200 << 1 << true << true
        << QStringList {"0 start -1", "0 click v127", "600 click v80", "1200 click v80",
               "1800 click v80", "2400 start 1", "2400 on 1 v100: 55 59 62", "4800 off 1: 55 59 62",
               "4800 start 2", "4800 on 2 v100: 50 54 57", "5400 off 2: 50 54 57"}
        << QStringList {"3: bar 1 at 5400", "4: bar 2 at 7800", "5: bar 1 at 8400"}
        << QStringList {"8400 start 1", "8400 on 1 v100: 50 54 57", "10800 off 1: 50 54 57"};
    QTest::newRow("lengths: a half bar, then two bars; over after them")
        << shaped(songOf({{"C"}, {"G"}}, "", 120, 4), {2, 8}) << 1200 << 0 << false << false
        << QStringList {"0 start 0", "0 on 0 v100: 48 52 55", "1200 off 0: 48 52 55",
               "1200 start 1", "1200 on 1 v100: 55 59 62", "6000 off 1: 55 59 62"}
        << QStringList {"1: bar 1 at 1200", "2: end"} << QStringList {};
    QTest::newRow("no bars: nothing plays, not even the count-in")
        << songOf({}) << 44100 << 0 << true << true << QStringList {}
        << QStringList {"0: end", "1: end"} << QStringList {};
}

void tst_Schedule::events()
{
    QFETCH(song::Song, song);
    QFETCH(int, rate);
    QFETCH(int, firstBar);
    QFETCH(bool, countIn);
    QFETCH(bool, loop);
    QFETCH(QStringList, events);
    QFETCH(QStringList, later);
    QFETCH(QStringList, lastLater);

    const song::Schedule schedule(song, {rate, firstBar, countIn, loop});
    QCOMPARE(lines(schedule.events(song)), events);
    QStringList probed;
    std::int64_t slot = 0;
    for (const QString &probe : later) {
        slot = probe.section(u':', 0, 0).toLongLong();
        const std::optional<int> bar = schedule.barAt(slot);
        probed << (bar ? QStringLiteral("%1: bar %2 at %3")
                             .arg(slot)
                             .arg(*bar)
                             .arg(schedule.slotStart(slot))
                       : QStringLiteral("%1: end").arg(slot));
    }
    QCOMPARE(probed, later);
    // Live playback reads each box as its bar comes, whatever it held before.
    QCOMPARE(lines(schedule.slotEvents(slot, song::barOf(QStringLiteral("D"), {}))), lastLater);
}

QTEST_GUILESS_MAIN(tst_Schedule)
#include "tst_schedule.moc"
