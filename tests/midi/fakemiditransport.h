#pragma once

#include "miditransport.h"

#include <QList>
#include <QPointer>
#include <QSet>
#include <QTest>

namespace midi
{
// As QCOMPARE shows a message: "on 0 60 100", "off ...", "cc ...".
inline char *toString(const MidiMessage &m)
{
    constexpr const char *Kinds[] {"on", "off", "cc"};
    return QTest::toString(QStringLiteral("%1 %2 %3 %4")
                               .arg(QLatin1String(Kinds[int(m.kind)]))
                               .arg(m.channel)
                               .arg(m.number)
                               .arg(m.value));
}
} // namespace midi

// A MIDI system in memory: every fake transport on one bus sees the others'
// ports, named as the sequencer names them, and delivers what it sends to
// the ports connected to its output, later, as a real sequencer does. It is
// open from the start; refusing, it delivers nothing and says so.
class FakeMidiBus
{
public:
    QList<QPointer<class FakeMidiTransport>> members;
};

class FakeMidiTransport final : public midi::MidiTransport
{
    Q_OBJECT
public:
    FakeMidiTransport(FakeMidiBus *bus, const QString &clientName, QObject *parent = nullptr,
        const QString &unavailable = {})
        : midi::MidiTransport(parent)
        , m_bus(bus)
        , m_name(clientName)
        , m_unavailable(unavailable)
    {
        if (!m_unavailable.isEmpty())
            return;
        m_bus->members << this;
        announce();
    }
    ~FakeMidiTransport() override
    {
        m_bus->members.removeAll(this);
        announce();
    }

    void open(const QString &) override { }
    void start() override { }
    void setRefusing(bool refusing) { m_refusing = refusing; }

    QString unavailableReason() const override { return m_unavailable; }
    QStringList sources() const override { return ports(midi::OutputPortName); }
    QStringList destinations() const override { return ports(midi::InputPortName); }
    bool connectSource(const QString &name) override
    {
        FakeMidiTransport *from = member(name, midi::OutputPortName);
        return from && (from->m_receivers.insert(this), true);
    }
    void disconnectSource(const QString &name) override
    {
        if (FakeMidiTransport *from = member(name, midi::OutputPortName))
            from->m_receivers.remove(this);
    }
    bool connectDestination(const QString &name) override
    {
        FakeMidiTransport *to = member(name, midi::InputPortName);
        return to && (m_receivers.insert(to), true);
    }
    void disconnectDestination(const QString &name) override
    {
        m_receivers.remove(member(name, midi::InputPortName));
    }
    bool send(const midi::MidiMessage &message) override
    {
        if (m_refusing)
            return false;
        for (FakeMidiTransport *to : std::as_const(m_receivers)) {
            QMetaObject::invokeMethod(
                to, [to, message] { emit to->received(message); }, Qt::QueuedConnection);
        }
        return true;
    }

private:
    QStringList ports(const char *port) const
    {
        QStringList names;
        for (const auto &m : std::as_const(m_bus->members))
            if (m && m != this)
                names << m->m_name + u':' + QString::fromLatin1(port);
        return names;
    }
    FakeMidiTransport *member(const QString &name, const char *port) const
    {
        for (const auto &m : std::as_const(m_bus->members))
            if (m && m != this && m->m_name + u':' + QString::fromLatin1(port) == name)
                return m;
        return nullptr;
    }
    void announce()
    {
        for (const auto &m : std::as_const(m_bus->members)) {
            if (m && m != this) {
                m->m_receivers.remove(this);
                QMetaObject::invokeMethod(
                    m, [m] { emit m->endpointsChanged(); }, Qt::QueuedConnection);
            }
        }
    }

    FakeMidiBus *m_bus;
    QString m_name;
    QString m_unavailable;
    QSet<FakeMidiTransport *> m_receivers;
    bool m_refusing = false;
};
