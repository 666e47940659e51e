#include "fakemiditransport.h"
#include "sequenceropener.h"

#include <QEventLoop>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using midi::MidiMessage;
using Kind = MidiMessage::Kind;

// One body for the fake and for the real sequencer: with
// SORAMINA_MIDI_TRANSPORT=alsa it runs against the ALSA plugin, which needs
// /dev/snd/seq (the VM test provides one).
class tst_MidiTransport : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void roundTrip_data();
    void roundTrip();
    void endpointsComeAndGo();
    void unknownNamesAndDisconnection();

private:
    std::unique_ptr<midi::MidiTransport> make(const QString &clientName);
    bool m_real = false;
    FakeMidiBus m_bus;
};

std::unique_ptr<midi::MidiTransport> tst_MidiTransport::make(const QString &clientName)
{
    if (!m_real)
        return std::make_unique<FakeMidiTransport>(&m_bus, clientName);
    QEventLoop loop;
    midi::OpenedTransport opened;
    midi::openSequencer(clientName, nullptr, [&](const midi::OpenedTransport &ready) {
        opened = ready;
        loop.quit();
    });
    loop.exec();
    if (!opened.transport)
        qFatal("%s", qPrintable(opened.error));
    return std::unique_ptr<midi::MidiTransport>(opened.transport);
}

void tst_MidiTransport::initTestCase()
{
    qRegisterMetaType<MidiMessage>();
    m_real = qEnvironmentVariable("SORAMINA_MIDI_TRANSPORT") == u"alsa";
    if (m_real) {
        const auto probe = make(QStringLiteral("Probe"));
        if (!probe->unavailableReason().isEmpty())
            QSKIP(qPrintable(probe->unavailableReason()));
    }
}

void tst_MidiTransport::roundTrip_data()
{
    QTest::addColumn<MidiMessage>("message");
    QTest::newRow("note on, channel 1") << MidiMessage {Kind::NoteOn, 0, 60, 100};
    QTest::newRow("note off, channel 16") << MidiMessage {Kind::NoteOff, 15, 127, 64};
    QTest::newRow("lowest note") << MidiMessage {Kind::NoteOn, 3, 0, 1};
    QTest::newRow("sustain pedal") << MidiMessage {Kind::Control, 0, 64, 127};
    QTest::newRow("all notes off") << MidiMessage {Kind::Control, 9, 123, 0};
}

// Each message sent from one client's output arrives as it was on the input
// of the client connected to it, whichever side made the connection.
void tst_MidiTransport::roundTrip()
{
    QFETCH(MidiMessage, message);
    const auto soramina = make(QStringLiteral("Soramina"));
    const auto synth = make(QStringLiteral("Synth"));
    const QString synthIn = QStringLiteral("Synth:") + QLatin1String(midi::InputPortName);
    const QString soraminaOut = QStringLiteral("Soramina:") + QLatin1String(midi::OutputPortName);

    QVERIFY(soramina->connectDestination(synthIn));
    QSignalSpy heard(synth.get(), &midi::MidiTransport::received);
    soramina->send(message);
    QVERIFY(heard.wait(2000));
    QCOMPARE(heard.takeFirst().at(0).value<MidiMessage>(), message);

    soramina->disconnectDestination(synthIn);
    QVERIFY(synth->connectSource(soraminaOut));
    soramina->send(message);
    QVERIFY(heard.wait(2000));
    QCOMPARE(heard.count(), 1);
    QCOMPARE(heard.takeFirst().at(0).value<MidiMessage>(), message);
}

void tst_MidiTransport::endpointsComeAndGo()
{
    const auto soramina = make(QStringLiteral("Soramina"));
    QSignalSpy changed(soramina.get(), &midi::MidiTransport::endpointsChanged);
    const QString lateOut = QStringLiteral("Late:") + QLatin1String(midi::OutputPortName);
    const QString lateIn = QStringLiteral("Late:") + QLatin1String(midi::InputPortName);
    QVERIFY(!soramina->sources().contains(lateOut));

    auto late = make(QStringLiteral("Late"));
    QTRY_VERIFY_WITH_TIMEOUT(changed.count() > 0, 2000);
    QVERIFY(soramina->sources().contains(lateOut));
    QVERIFY(soramina->destinations().contains(lateIn));
    QVERIFY(!soramina->sources().contains(lateIn)); // an input cannot play into us
    const QString ownOut = QStringLiteral("Soramina:") + QLatin1String(midi::OutputPortName);
    QVERIFY(!soramina->sources().contains(ownOut));

    changed.clear();
    late.reset();
    QTRY_VERIFY_WITH_TIMEOUT(changed.count() > 0, 2000);
    QVERIFY(!soramina->sources().contains(lateOut));
}

void tst_MidiTransport::unknownNamesAndDisconnection()
{
    const auto soramina = make(QStringLiteral("Soramina"));
    const auto synth = make(QStringLiteral("Synth"));
    QVERIFY(!soramina->connectDestination(QStringLiteral("Nobody:keyboard in")));
    QVERIFY(
        !soramina->connectSource(QStringLiteral("Synth:") + QLatin1String(midi::InputPortName)));

    const QString synthIn = QStringLiteral("Synth:") + QLatin1String(midi::InputPortName);
    QVERIFY(soramina->connectDestination(synthIn));
    soramina->disconnectDestination(synthIn);
    QSignalSpy heard(synth.get(), &midi::MidiTransport::received);
    soramina->send({Kind::NoteOn, 0, 60, 100});
    QVERIFY(!heard.wait(300));
}

QTEST_GUILESS_MAIN(tst_MidiTransport)
#include "tst_miditransport.moc"
