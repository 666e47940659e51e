#include "fakemiditransport.h"
#include "midisession.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using midi::MidiMessage;
using Kind = MidiMessage::Kind;

namespace
{
MidiMessage on(int note, int channel = 0)
{
    return {Kind::NoteOn, channel, note, 100};
}
} // namespace

// The session on an in-memory MIDI system.
class tst_MidiSession : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void settlesOnALaggingClock();

private:
    FakeMidiBus m_bus;
};

void tst_MidiSession::initTestCase()
{
    qRegisterMetaType<MidiMessage>();
}

// The settle timer fires on time while the session's clock, running a
// tenth slow, says the settle is not yet due: the chord is named all the same.
void tst_MidiSession::settlesOnALaggingClock()
{
    FakeMidiTransport soramina(&m_bus, QStringLiteral("Soramina"));
    QElapsedTimer real;
    real.start();
    midi::MidiSession session(&soramina, nullptr, [&real] { return real.elapsed() * 9 / 10; });
    QSignalSpy named(&session, &midi::MidiSession::chordPlayed);
    for (const int note : {60, 64, 67})
        emit soramina.received(on(note));
    QVERIFY(named.wait(1000));
    QCOMPARE(named.takeFirst(), (QVariantList {QStringLiteral("C"), QString()}));
}

QTEST_GUILESS_MAIN(tst_MidiSession)
#include "tst_midisession.moc"
