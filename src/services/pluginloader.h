#pragma once

#include <QObject>
#include <QStringList>

namespace services
{

// A folder looked in before all others, so that a test can bring its own plugins.
inline constexpr auto PluginDirVariable = "SORAMINA_PLUGIN_DIR";

// Where every plugin of the program is looked for, in this order: the folder
// named by SORAMINA_PLUGIN_DIR, the build tree's plugin folder (for a program
// run from the build tree), and the installed plugin folder, found relative to
// the program (lib/<multiarch>/soramina).
QStringList pluginFolders();

// One plugin, in the first of the folders that holds its file. Cheap to make
// and to copy: it holds names only, and a library once loaded stays loaded.
// load() is the slow part and may run on a worker thread; instance() makes
// the plugin's root object on the calling thread, which is to own it.
class PluginLoader
{
public:
    explicit PluginLoader(QString fileName, QStringList folders = pluginFolders());

    // Why the plugin cannot be had, from the files alone; empty when it is there.
    QString missing() const;
    // Loads the library; empty on success, otherwise why not.
    QString load() const;
    // The root object, loading the library first if load() has not; null,
    // with the reason in error, when it cannot be had or is not an Interface.
    template<typename Interface> Interface *instance(QString &error) const
    {
        QObject *root = rootObject(error);
        auto *cast = qobject_cast<Interface *>(root);
        if (root && !cast)
            error = notThePlugin();
        return cast;
    }

private:
    QString path() const;
    QObject *rootObject(QString &error) const;
    QString cannotLoad(const QString &why) const;
    QString notThePlugin() const;

    QString m_fileName;
    QStringList m_folders;
};

} // namespace services
