#include "fakeoutput.h"

#include <QSignalSpy>
#include <QTest>

// What the player asks of its output for the chords the window shows.
class tst_ChordPlayer : public QObject
{
    Q_OBJECT
private slots:
    void plays_data();
    void plays();
    void noOutputBlocksNothing();
    void playsKeys_data();
    void playsKeys();
};

namespace
{
constexpr int TimingSlackMs = 30; // timers fire late on a busy machine, never early
constexpr int SettleMs = sound::ChordPlayer::RingMs + 400;
} // namespace

void tst_ChordPlayer::plays_data()
{
    QTest::addColumn<QList<QList<int>>>("shown"); // one after another, right away
    QTest::addColumn<bool>("arpeggio");
    QTest::addColumn<QStringList>("events");

    QTest::newRow("a triad: three notes from C3, each once")
        << QList<QList<int>> {{0, 4, 7}} << false
        << QStringList {"program 0", "on 48", "on 52", "on 55", "off 48", "off 52", "off 55"};
    QTest::newRow("an unrecognised chord sounds nothing")
        << QList<QList<int>> {{}} << false << QStringList {"program 0"};
    QTest::newRow("a new chord stops the one before")
        << QList<QList<int>> {{0, 3, 7}, {7, 11, 14, 17}} << false
        << QStringList {"program 0", "on 48", "on 51", "on 55", "off 48", "off 51", "off 55",
               "on 55", "on 59", "on 62", "on 65", "off 55", "off 59", "off 62", "off 65"};
    QTest::newRow("arpeggio: low to high, one at a time")
        << QList<QList<int>> {{7, 11, 14, 17}} << true
        << QStringList {"program 0", "on 55", "on 59", "on 62", "on 65", "off 55", "off 59",
               "off 62", "off 65"};
}

void tst_ChordPlayer::plays()
{
    QFETCH(QList<QList<int>>, shown);
    QFETCH(bool, arpeggio);
    QFETCH(QStringList, events);

    const auto log = std::make_shared<OutputLog>();
    const auto player = fakePlayer(log);
    player->setArpeggio(arpeggio);
    for (const QList<int> &chord : shown) {
        player->showChord(chord);
        // The later chords go to an open output.
        QTRY_VERIFY(log->events.contains(QStringLiteral("program 0")));
    }
    QTest::qWait(SettleMs + (arpeggio ? 4 * sound::ChordPlayer::ArpeggioStepMs : 0));
    QCOMPARE(log->events, events);

    // The last chord rings its time; arpeggio notes come a step apart.
    const qsizetype notes = shown.constLast().size();
    const qsizetype firstOff = log->events.size() - notes;
    for (qsizetype on = firstOff - notes + 1; arpeggio && on < firstOff; ++on) {
        QCOMPARE_GE(log->times[on] - log->times[on - 1] + TimingSlackMs,
            sound::ChordPlayer::ArpeggioStepMs);
    }
    if (notes > 0) {
        QCOMPARE_GE(log->times[firstOff] - log->times[firstOff - 1] + TimingSlackMs,
            sound::ChordPlayer::RingMs);
    }
}

// With no output, showing a chord returns at once, however slowly the
// output failed to open; the reason comes once, and nothing tries again.
void tst_ChordPlayer::noOutputBlocksNothing()
{
    const auto log = std::make_shared<OutputLog>();
    const QString reason = QStringLiteral("no server");
    const auto player = fakePlayer(log, 300, reason);
    QSignalSpy unavailable(player.get(), &sound::ChordPlayer::unavailable);

    QElapsedTimer clock;
    clock.start();
    player->showChord({0, 4, 7});
    player->showChord({2, 5, 9});
    QCOMPARE_LT(clock.elapsed(), 100);
    QTRY_COMPARE(unavailable.size(), 1);
    QCOMPARE(unavailable.constFirst().constFirst().toString(), reason);
    QVERIFY(!player->isAvailable());

    player->showChord({0, 4, 7});
    player->replay();
    QTest::qWait(100);
    QCOMPARE(log->opened, 1);
    QCOMPARE(unavailable.size(), 1);
    QVERIFY(log->events.isEmpty());
}

void tst_ChordPlayer::playsKeys_data()
{
    QTest::addColumn<QList<int>>("keys"); // one after another, right away
    QTest::addColumn<QList<int>>("chord"); // shown after them; none when empty
    QTest::addColumn<bool>("soundOn");
    QTest::addColumn<bool>("turnedOff"); // right after the chord: everything let go at once
    QTest::addColumn<QStringList>("events");

    QTest::newRow("a key: one short note from C3") << QList<int> {
        4} << QList<int> {} << true << false << QStringList {"program 0", "on 52", "off 52"};
    QTest::newRow("a new key stops the one before")
        << QList<int> {4, 7} << QList<int> {} << true << false
        << QStringList {"program 0", "on 52", "off 52", "on 55", "off 55"};
    QTest::newRow("a chord sounding the key keeps it")
        << QList<int> {4} << QList<int> {0, 4, 7} << true << false
        << QStringList {
               "program 0", "on 52", "on 48", "on 52", "on 55", "off 48", "off 52", "off 55"};
    QTest::newRow("sound off: nothing, nothing opened")
        << QList<int> {4} << QList<int> {} << false << false << QStringList {};
    QTest::newRow("sound turned off: the key and the chord let go")
        << QList<int> {4} << QList<int> {0, 4, 7} << true << true
        << QStringList {
               "program 0", "on 52", "on 48", "on 52", "on 55", "off 48", "off 52", "off 55"};
}

void tst_ChordPlayer::playsKeys()
{
    QFETCH(QList<int>, keys);
    QFETCH(QList<int>, chord);
    QFETCH(bool, soundOn);
    QFETCH(bool, turnedOff);
    QFETCH(QStringList, events);

    const auto log = std::make_shared<OutputLog>();
    const auto player = fakePlayer(log);
    player->setPlaysShownChords(soundOn);
    for (const int key : keys) {
        player->playKey(key);
        if (soundOn)
            QTRY_VERIFY(log->events.contains(QStringLiteral("program 0")));
    }
    if (!chord.isEmpty())
        player->showChord(chord);
    if (turnedOff) {
        player->setPlaysShownChords(false);
        QCOMPARE(log->events, events);
    }
    QTest::qWait(SettleMs);
    QCOMPARE(log->events, events);
    QCOMPARE(log->opened, soundOn ? 1 : 0);
    // A lone key is short: it ends well before a chord would.
    if (chord.isEmpty() && soundOn) {
        const qint64 rang = log->times.constLast() - log->times[log->times.size() - 2];
        QCOMPARE_GE(rang + TimingSlackMs, sound::ChordPlayer::KeyNoteMs);
        QCOMPARE_LT(rang, sound::ChordPlayer::RingMs);
    }
}

QTEST_GUILESS_MAIN(tst_ChordPlayer)
#include "tst_chordplayer.moc"
