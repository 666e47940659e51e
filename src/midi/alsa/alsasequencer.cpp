#include "alsasequencer.h"

#include <QFileInfo>
#include <QSocketNotifier>

#include <poll.h>

#include <utility>

namespace
{
constexpr auto SequencerDevice = "/dev/snd/seq";
constexpr unsigned int SourceCaps = SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ;
constexpr unsigned int DestinationCaps = SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE;
constexpr unsigned int PortType = SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION;

QString endpointName(snd_seq_client_info_t *client, snd_seq_port_info_t *port)
{
    return QString::fromUtf8(snd_seq_client_info_get_name(client)) + u':'
        + QString::fromUtf8(snd_seq_port_info_get_name(port))
              .trimmed(); // kernel ports pad their names
}

template<typename T, int (*Malloc)(T **), void (*Free)(T *)> struct AlsaInfo {
    AlsaInfo() { Malloc(&info); }
    ~AlsaInfo() { Free(info); }
    AlsaInfo(const AlsaInfo &) = delete;
    AlsaInfo &operator=(const AlsaInfo &) = delete;
    T *info = nullptr;
};
using ClientInfo
    = AlsaInfo<snd_seq_client_info_t, snd_seq_client_info_malloc, snd_seq_client_info_free>;
using PortInfo = AlsaInfo<snd_seq_port_info_t, snd_seq_port_info_malloc, snd_seq_port_info_free>;
} // namespace

AlsaSequencer::AlsaSequencer(QObject *parent)
    : midi::MidiTransport(parent)
{
}

void AlsaSequencer::open(const QString &clientName)
{
    if (!QFileInfo::exists(QString::fromLatin1(SequencerDevice))) {
        m_error
            = tr("ALSA シーケンサー (%1) がありません").arg(QString::fromLatin1(SequencerDevice));
        return;
    }
    if (const int err = snd_seq_open(&m_seq, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK);
        err < 0) {
        m_seq = nullptr;
        m_error = tr("ALSA シーケンサーを開けません: %1").arg(QString::fromUtf8(snd_strerror(err)));
        return;
    }
    // Unnamed, portless or deaf to clients coming and going, the client
    // would be no use to a patchbay or to us.
    m_client = snd_seq_client_id(m_seq);
    int err = snd_seq_set_client_name(m_seq, clientName.toUtf8().constData());
    if (err >= 0)
        err = m_inPort
            = snd_seq_create_simple_port(m_seq, midi::InputPortName, DestinationCaps, PortType);
    if (err >= 0)
        err = m_outPort
            = snd_seq_create_simple_port(m_seq, midi::OutputPortName, SourceCaps, PortType);
    if (err >= 0)
        err = snd_seq_connect_from(
            m_seq, m_inPort, SND_SEQ_CLIENT_SYSTEM, SND_SEQ_PORT_SYSTEM_ANNOUNCE);
    if (err < 0) {
        m_error
            = tr("ALSA シーケンサーに加われません: %1").arg(QString::fromUtf8(snd_strerror(err)));
        snd_seq_close(std::exchange(m_seq, nullptr));
    }
}

void AlsaSequencer::start()
{
    if (!m_seq)
        return;
    const int count = snd_seq_poll_descriptors_count(m_seq, POLLIN);
    std::vector<pollfd> fds(std::size_t(std::max(count, 0)));
    snd_seq_poll_descriptors(m_seq, fds.data(), unsigned(fds.size()), POLLIN);
    for (const pollfd &fd : fds) {
        auto notifier = std::make_unique<QSocketNotifier>(fd.fd, QSocketNotifier::Read);
        connect(notifier.get(), &QSocketNotifier::activated, this, &AlsaSequencer::readEvents);
        m_notifiers.push_back(std::move(notifier));
    }
}

AlsaSequencer::~AlsaSequencer()
{
    m_notifiers.clear();
    if (m_seq)
        snd_seq_close(m_seq);
}

QString AlsaSequencer::unavailableReason() const
{
    return m_error;
}

QStringList AlsaSequencer::sources() const
{
    return endpoints(SourceCaps);
}

QStringList AlsaSequencer::destinations() const
{
    return endpoints(DestinationCaps);
}

// Ports of the other clients that allow the subscription, in the order the
// sequencer numbers them; the system client's own ports are no instruments.
QStringList AlsaSequencer::endpoints(unsigned int capabilities) const
{
    QStringList names;
    if (!m_seq)
        return names;
    ClientInfo client;
    PortInfo port;
    snd_seq_client_info_set_client(client.info, -1);
    while (snd_seq_query_next_client(m_seq, client.info) >= 0) {
        const int id = snd_seq_client_info_get_client(client.info);
        if (id == m_client || id == SND_SEQ_CLIENT_SYSTEM)
            continue;
        snd_seq_port_info_set_client(port.info, id);
        snd_seq_port_info_set_port(port.info, -1);
        while (snd_seq_query_next_port(m_seq, port.info) >= 0) {
            const unsigned int caps = snd_seq_port_info_get_capability(port.info);
            if ((caps & capabilities) == capabilities && !(caps & SND_SEQ_PORT_CAP_NO_EXPORT))
                names << endpointName(client.info, port.info);
        }
    }
    return names;
}

std::optional<snd_seq_addr_t> AlsaSequencer::find(
    const QString &name, unsigned int capabilities) const
{
    if (!m_seq)
        return std::nullopt;
    ClientInfo client;
    PortInfo port;
    snd_seq_client_info_set_client(client.info, -1);
    while (snd_seq_query_next_client(m_seq, client.info) >= 0) {
        const int id = snd_seq_client_info_get_client(client.info);
        if (id == m_client)
            continue;
        snd_seq_port_info_set_client(port.info, id);
        snd_seq_port_info_set_port(port.info, -1);
        while (snd_seq_query_next_port(m_seq, port.info) >= 0) {
            const unsigned int caps = snd_seq_port_info_get_capability(port.info);
            if ((caps & capabilities) == capabilities
                && endpointName(client.info, port.info) == name)
                return *snd_seq_port_info_get_addr(port.info);
        }
    }
    return std::nullopt;
}

bool AlsaSequencer::connectSource(const QString &name)
{
    const auto addr = find(name, SourceCaps);
    return addr && snd_seq_connect_from(m_seq, m_inPort, addr->client, addr->port) >= 0;
}

void AlsaSequencer::disconnectSource(const QString &name)
{
    if (const auto addr = find(name, SourceCaps))
        snd_seq_disconnect_from(m_seq, m_inPort, addr->client, addr->port);
}

bool AlsaSequencer::connectDestination(const QString &name)
{
    const auto addr = find(name, DestinationCaps);
    return addr && snd_seq_connect_to(m_seq, m_outPort, addr->client, addr->port) >= 0;
}

void AlsaSequencer::disconnectDestination(const QString &name)
{
    if (const auto addr = find(name, DestinationCaps))
        snd_seq_disconnect_to(m_seq, m_outPort, addr->client, addr->port);
}

bool AlsaSequencer::send(const midi::MidiMessage &message)
{
    if (!m_seq)
        return false;
    snd_seq_event_t event;
    snd_seq_ev_clear(&event);
    snd_seq_ev_set_source(&event, m_outPort);
    snd_seq_ev_set_subs(&event);
    snd_seq_ev_set_direct(&event);
    const auto channel = static_cast<unsigned char>(message.channel);
    const auto number = static_cast<unsigned char>(message.number);
    const auto value = static_cast<unsigned char>(message.value);
    switch (message.kind) {
    case midi::MidiMessage::Kind::NoteOn:
        snd_seq_ev_set_noteon(&event, channel, number, value);
        break;
    case midi::MidiMessage::Kind::NoteOff:
        snd_seq_ev_set_noteoff(&event, channel, number, value);
        break;
    case midi::MidiMessage::Kind::Control:
        snd_seq_ev_set_controller(&event, channel, message.number, message.value);
        break;
    }
    return snd_seq_event_output_direct(m_seq, &event) >= 0;
}

void AlsaSequencer::readEvents()
{
    snd_seq_event_t *event = nullptr;
    // Non-blocking: reads until the queue is empty (-EAGAIN); -ENOSPC says
    // events were lost while we were busy, and reading goes on.
    for (;;) {
        const int result = snd_seq_event_input(m_seq, &event);
        if (result == -ENOSPC)
            continue;
        if (result < 0 || !event)
            break;
        handle(*event);
    }
}

void AlsaSequencer::handle(const snd_seq_event_t &event)
{
    using Kind = midi::MidiMessage::Kind;
    switch (event.type) {
    case SND_SEQ_EVENT_NOTEON:
        emit received({Kind::NoteOn, event.data.note.channel, event.data.note.note,
            event.data.note.velocity});
        break;
    case SND_SEQ_EVENT_NOTEOFF:
        emit received({Kind::NoteOff, event.data.note.channel, event.data.note.note,
            event.data.note.velocity});
        break;
    case SND_SEQ_EVENT_CONTROLLER:
        emit received({Kind::Control, event.data.control.channel, int(event.data.control.param),
            event.data.control.value});
        break;
    case SND_SEQ_EVENT_CLIENT_START:
    case SND_SEQ_EVENT_CLIENT_EXIT:
    case SND_SEQ_EVENT_CLIENT_CHANGE:
    case SND_SEQ_EVENT_PORT_START:
    case SND_SEQ_EVENT_PORT_EXIT:
    case SND_SEQ_EVENT_PORT_CHANGE: emit endpointsChanged(); break;
    default: break;
    }
}
