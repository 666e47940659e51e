#include "sequencerloader.h"
#include "miditransport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>

namespace midi
{

namespace
{
// Installed next to the program's library folder; while developing, in the
// build tree.
QStringList pluginFolders()
{
    return {QDir(QCoreApplication::applicationDirPath())
                .filePath(QStringLiteral("../" SORAMINA_PLUGIN_INSTALL_DIR)),
        QStringLiteral(SORAMINA_PLUGIN_BUILD_DIR)};
}
} // namespace

LoadedTransport loadSequencer(const QString &clientName, QObject *parent)
{
    QString error = QCoreApplication::translate("midi", "MIDI プラグインが見つかりません");
    for (const QString &folder : pluginFolders()) {
        QPluginLoader loader(QDir(folder).filePath(QStringLiteral(SORAMINA_SEQUENCER_PLUGIN)));
        if (!loader.load()) {
            if (QFileInfo::exists(loader.fileName()))
                error = loader.errorString();
            continue;
        }
        if (auto *factory = qobject_cast<MidiTransportFactory *>(loader.instance()))
            return {factory->create(clientName, parent), {}};
        error = loader.errorString();
    }
    return {nullptr, error};
}

} // namespace midi
