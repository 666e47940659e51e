#pragma once

#include "miditransport.h"

#include <alsa/asoundlib.h>

#include <memory>
#include <optional>

class QSocketNotifier;

// The ALSA sequencer: one client with a subscribable input and output port,
// read on its own thread whenever its descriptors wake up. The System
// Announce port tells it when clients and ports come and go.
class AlsaSequencer final : public midi::MidiTransport
{
    Q_OBJECT
public:
    explicit AlsaSequencer(QObject *parent);
    ~AlsaSequencer() override;

    void open(const QString &clientName) override;
    void start() override;

    QString unavailableReason() const override;
    QStringList sources() const override;
    QStringList destinations() const override;
    bool connectSource(const QString &name) override;
    void disconnectSource(const QString &name) override;
    bool connectDestination(const QString &name) override;
    void disconnectDestination(const QString &name) override;
    bool send(const midi::MidiMessage &message) override;

private:
    void readEvents();
    void handle(const snd_seq_event_t &event);
    QStringList endpoints(unsigned int capabilities) const;
    std::optional<snd_seq_addr_t> find(const QString &name, unsigned int capabilities) const;

    snd_seq_t *m_seq = nullptr;
    int m_client = -1;
    int m_inPort = -1;
    int m_outPort = -1;
    QString m_error;
    std::vector<std::unique_ptr<QSocketNotifier>> m_notifiers;
};
