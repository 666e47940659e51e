#include "soundloader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>

namespace sound
{

namespace
{
constexpr const char *Soundfonts[] {
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
};

QString moduleIn(const QStringList &folders)
{
    for (const QString &folder : folders) {
        const QFileInfo module(QDir(folder), QStringLiteral(SORAMINA_SOUND_MODULE));
        if (module.isFile())
            return module.filePath();
    }
    return {};
}
} // namespace

QStringList moduleFolders()
{
    const QDir bin(QCoreApplication::applicationDirPath());
    return {bin.path(), bin.filePath(QStringLiteral(SORAMINA_MODULE_DIR_FROM_BIN))};
}

QString findSoundfont()
{
    for (const char *path : Soundfonts) {
        if (QFileInfo(QString::fromLatin1(path)).isFile())
            return QString::fromLatin1(path);
    }
    return {};
}

QString missingPiece(const QStringList &folders)
{
    if (moduleIn(folders).isEmpty())
        return QStringLiteral("音源モジュール %1 が見つかりません").arg(SORAMINA_SOUND_MODULE);
    if (findSoundfont().isEmpty())
        return QStringLiteral(
            "音色ファイル（timgm6mb-soundfont か fluid-soundfont-gm）がありません");
    return {};
}

Opened openOutput(const QStringList &folders, Target target)
{
    if (QString missing = missingPiece(folders); !missing.isEmpty())
        return {nullptr, missing};
    QPluginLoader loader(moduleIn(folders));
    auto *module = qobject_cast<SoundModule *>(loader.instance());
    if (!module)
        return {nullptr,
            QStringLiteral("音源モジュールを読み込めません: %1").arg(loader.errorString())};
    std::unique_ptr<SoundOutput> output = module->createOutput();
    if (QString reason = output->open(target, findSoundfont()); !reason.isEmpty())
        return {nullptr, reason};
    return {std::move(output), {}};
}

} // namespace sound
