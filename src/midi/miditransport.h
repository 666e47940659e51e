#pragma once

#include <QObject>
#include <QStringList>
#include <QtPlugin>

// The MIDI system the program plays into and listens to. The program is one
// client with an input port and an output port; endpoints are the other
// programs' and devices' ports, named "client:port" as patchbays show them.
namespace midi
{

inline constexpr auto InputPortName = "keyboard in";
inline constexpr auto OutputPortName = "chord out";

struct MidiMessage {
    enum class Kind { NoteOn, NoteOff, Control };
    Kind kind = Kind::NoteOn;
    int channel = 0; // 0 to 15, shown to musicians as 1 to 16
    int number = 0; // note or controller
    int value = 0; // velocity or controller value
    friend bool operator==(const MidiMessage &, const MidiMessage &) = default;
};

// Comes up in two steps: open(), slow, joins the MIDI system and may run on
// a worker thread, as it makes no QObject; start(), cheap, on the thread the
// transport lives in, begins listening there. Nothing else is called before
// start().
class MidiTransport : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Joins as the client clientName, with its two ports.
    virtual void open(const QString &clientName) = 0;
    virtual void start() = 0;

    // Why there is no MIDI, for the menu; empty when it works.
    virtual QString unavailableReason() const = 0;

    // Endpoints that can play into our input, and endpoints our output can feed.
    virtual QStringList sources() const = 0;
    virtual QStringList destinations() const = 0;

    // False when no endpoint has that name or the system refuses.
    virtual bool connectSource(const QString &name) = 0;
    virtual void disconnectSource(const QString &name) = 0;
    virtual bool connectDestination(const QString &name) = 0;
    virtual void disconnectDestination(const QString &name) = 0;

    // To every endpoint connected to our output, at once. False when the
    // system refused it (a receiver that reads nothing fills up, for one):
    // it went to none of them, or not to all.
    virtual bool send(const midi::MidiMessage &message) = 0;

signals:
    void received(const midi::MidiMessage &message);
    // An endpoint came or went, or was renamed.
    void endpointsChanged();
};

// What a transport plugin offers; the library behind it loads only with it.
class MidiTransportFactory
{
public:
    virtual ~MidiTransportFactory() = default;
    // Cheap: the transport before open().
    virtual MidiTransport *create(QObject *parent) = 0;
};

} // namespace midi

Q_DECLARE_METATYPE(midi::MidiMessage)

#define MidiTransportFactory_iid "org.soramina.MidiTransportFactory/2.0"
Q_DECLARE_INTERFACE(midi::MidiTransportFactory, MidiTransportFactory_iid)
