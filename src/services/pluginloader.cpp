#include "pluginloader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>

namespace services
{

QStringList pluginFolders()
{
    QStringList folders;
    if (const QString own = qEnvironmentVariable(PluginDirVariable); !own.isEmpty())
        folders << own;
    const QDir bin(QCoreApplication::applicationDirPath());
    // A program run from the build tree takes the plugins built with it,
    // never those of an installed copy, nor does an installed one look there.
    if (QFileInfo(bin.path())
            .canonicalFilePath()
            .startsWith(QFileInfo(QStringLiteral(SORAMINA_BUILD_DIR)).canonicalFilePath() + u'/'))
        folders << QStringLiteral(SORAMINA_PLUGIN_BUILD_DIR);
    folders << QDir::cleanPath(bin.filePath(QStringLiteral(SORAMINA_PLUGIN_DIR_FROM_BIN)));
    return folders;
}

PluginLoader::PluginLoader(QString fileName, QStringList folders)
    : m_fileName(std::move(fileName))
    , m_folders(std::move(folders))
{
}

QString PluginLoader::path() const
{
    for (const QString &folder : m_folders) {
        const QFileInfo file(QDir(folder), m_fileName);
        if (file.isFile())
            return file.filePath();
    }
    return {};
}

QString PluginLoader::missing() const
{
    if (!path().isEmpty())
        return {};
    return QCoreApplication::translate("services", "プラグイン %1 が見つかりません（%2）")
        .arg(m_fileName, m_folders.join(QStringLiteral(", ")));
}

// The loader made here is not kept: the library stays loaded, and the next
// loader of the same file finds it so.
QString PluginLoader::load() const
{
    if (QString why = missing(); !why.isEmpty())
        return why;
    QPluginLoader loader(path());
    return loader.load() ? QString() : cannotLoad(loader.errorString());
}

QObject *PluginLoader::rootObject(QString &error) const
{
    error = missing();
    if (!error.isEmpty())
        return nullptr;
    QPluginLoader loader(path());
    QObject *root = loader.instance();
    if (!root)
        error = cannotLoad(loader.errorString());
    return root;
}

QString PluginLoader::cannotLoad(const QString &why) const
{
    return QCoreApplication::translate("services", "プラグイン %1 を読み込めません: %2")
        .arg(m_fileName, why);
}

QString PluginLoader::notThePlugin() const
{
    return QCoreApplication::translate("services", "プラグイン %1 は別のものです").arg(m_fileName);
}

} // namespace services
