#include "fakemiditransport.h"
#include "midisession.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using midi::MidiMessage;
using Kind = MidiMessage::Kind;
using Messages = QList<MidiMessage>;

namespace
{
const QString SynthIn = QStringLiteral("Synth:keyboard in");

MidiMessage on(int note, int channel = 0)
{
    return {Kind::NoteOn, channel, note, 100};
}
MidiMessage off(int note, int channel = 0)
{
    return {Kind::NoteOff, channel, note, 64};
}
const MidiMessage AllNotesOff {Kind::Control, 0, 123, 0};
} // namespace

// The session against a synth on an in-memory MIDI system, whose output may
// refuse what it is sent.
class tst_MidiSession : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void refusedOutput_data();
    void refusedOutput();
    void settlesOnALaggingClock();

private:
    FakeMidiBus m_bus;
};

void tst_MidiSession::initTestCase()
{
    qRegisterMetaType<MidiMessage>();
}

// Steps, separated by ';': "chord SEMITONES...", "in on|off CH NOTE" (played
// on the input, passed through), "refuse", "accept", "release", "resume".
void tst_MidiSession::refusedOutput_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<Messages>("heard");
    QTest::addColumn<int>("said"); // how often the session says the output refused
    QTest::newRow("the note-offs refused are sent on release")
        << "chord 0 4 7; refuse; chord 2 5 9; chord 4 7 11; accept; release"
        << Messages {on(48), on(52), on(55), off(48), off(52), off(55), AllNotesOff} << 1;
    QTest::newRow("nothing more goes out until the output is chosen again")
        << "chord 0 4 7; refuse; chord 2 5 9; accept; chord 4 7 11; release; resume; chord 5 9 12"
        << Messages {on(48), on(52), on(55), off(48), off(52), off(55), AllNotesOff, on(53), on(57),
               on(60)}
        << 1;
    QTest::newRow("a note passed through is released too")
        << "in on 3 40; refuse; in off 3 40; accept; release"
        << Messages {on(40, 3), off(40, 3), AllNotesOff} << 1;
    QTest::newRow("refused again once resumed: said again")
        << "refuse; chord 0 4 7; release; resume; chord 0 4 7" << Messages {} << 2;
}

void tst_MidiSession::refusedOutput()
{
    QFETCH(QString, steps);
    QFETCH(Messages, heard);
    QFETCH(int, said);
    FakeMidiTransport soramina(&m_bus, QStringLiteral("Soramina"));
    FakeMidiTransport synth(&m_bus, QStringLiteral("Synth"));
    QVERIFY(soramina.connectDestination(SynthIn));
    midi::MidiSession session(&soramina);
    session.setThru(true);
    QSignalSpy refused(&session, &midi::MidiSession::outputRefused);
    QSignalSpy received(&synth, &midi::MidiTransport::received);

    for (const QString &step : steps.split(u';')) {
        QStringList w = step.split(u' ', Qt::SkipEmptyParts);
        const QString verb = w.takeFirst();
        if (verb == u"chord") {
            QList<int> semitones;
            for (const QString &s : std::as_const(w))
                semitones << s.toInt();
            session.sendChord(semitones);
        } else if (verb == u"in") {
            const int channel = w[1].toInt(), note = w[2].toInt();
            emit soramina.received(w[0] == u"on" ? on(note, channel) : off(note, channel));
        } else if (verb == u"refuse" || verb == u"accept") {
            soramina.setRefusing(verb == u"refuse");
        } else if (verb == u"release") {
            session.releaseAll();
        } else {
            session.resumeOutput();
        }
    }
    QTest::qWait(0); // the bus delivers later
    Messages got;
    for (const auto &args : std::as_const(received))
        got << args.at(0).value<MidiMessage>();
    QCOMPARE(got, heard);
    QCOMPARE(refused.count(), said);
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
