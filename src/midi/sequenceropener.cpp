#include "sequenceropener.h"
#include "miditransport.h"

#include "offthread.h"

namespace midi
{

namespace
{
// One opening, from the plugin's load to ready(); it holds the transport
// until then and goes with its parent.
class Opening : public QObject
{
public:
    Opening(
        QString clientName, services::PluginLoader plugin, QObject *parent, TransportReady ready)
        : QObject(parent)
        , m_clientName(std::move(clientName))
        , m_plugin(std::move(plugin))
        , m_ready(std::move(ready))
    {
        m_worker.run([this] { m_error = m_plugin.load(); }, this, [this] { loaded(); });
    }

private:
    void loaded()
    {
        auto *factory
            = m_error.isEmpty() ? m_plugin.instance<MidiTransportFactory>(m_error) : nullptr;
        if (!factory) {
            finish();
            return;
        }
        m_transport = factory->create(this);
        m_worker.run([this] { m_transport->open(m_clientName); }, this,
            [this] {
                m_transport->start();
                finish();
            });
    }

    void finish()
    {
        if (m_transport)
            m_transport->setParent(parent());
        m_ready({m_transport, m_error});
        deleteLater();
    }

    QString m_clientName;
    services::PluginLoader m_plugin;
    TransportReady m_ready;
    QString m_error; // written by the worker, read once it has returned
    MidiTransport *m_transport = nullptr;
    // Last, so that it is gone, its job waited for, before what the job uses.
    services::OffThread m_worker;
};
} // namespace

services::PluginLoader sequencerPlugin()
{
    return services::PluginLoader(QStringLiteral(SORAMINA_SEQUENCER_PLUGIN));
}

void openSequencer(const QString &clientName, QObject *parent, TransportReady ready,
    const services::PluginLoader &plugin)
{
    new Opening(clientName, plugin, parent, std::move(ready));
}

} // namespace midi
