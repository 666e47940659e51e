#include "soundloader.h"

#include "pluginloader.h"

#include <QFileInfo>

namespace sound
{

namespace
{
constexpr const char *Soundfonts[] {
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
};

services::PluginLoader module(const QStringList &folders)
{
    return services::PluginLoader(QStringLiteral(SORAMINA_SOUND_MODULE), folders);
}
} // namespace

QString findSoundfont()
{
    for (const char *path : Soundfonts) {
        if (QFileInfo(QString::fromLatin1(path)).isFile())
            return QString::fromLatin1(path);
    }
    return {};
}

void askPulseBuffer()
{
    constexpr char Variable[] = "PULSE_LATENCY_MSEC";
    if (!qEnvironmentVariableIsSet(Variable))
        qputenv(Variable, QByteArray::number(PulseBufferedMs));
}

QString missingPiece(const QStringList &folders)
{
    if (QString missing = module(folders).missing(); !missing.isEmpty())
        return missing;
    if (findSoundfont().isEmpty())
        return QStringLiteral(
            "音色ファイル（timgm6mb-soundfont か fluid-soundfont-gm）がありません");
    return {};
}

Opener outputOpener(const QStringList &folders, Target target)
{
    const services::PluginLoader plugin = module(folders);
    return {
        [plugin] { return plugin.load(); },
        [plugin] {
            QString error;
            auto *root = plugin.instance<SoundModule>(error);
            return root ? Opened {root->createOutput(), {}} : Opened {nullptr, error};
        },
        [target](SoundOutput &output) { return output.open(target, findSoundfont()); },
    };
}

Opened openOutput(const QStringList &folders, Target target)
{
    if (QString missing = missingPiece(folders); !missing.isEmpty())
        return {nullptr, missing};
    const Opener opener = outputOpener(folders, target);
    if (QString reason = opener.load(); !reason.isEmpty())
        return {nullptr, reason};
    Opened opened = opener.create();
    if (!opened.output)
        return opened;
    if (QString reason = opener.open(*opened.output); !reason.isEmpty())
        return {nullptr, reason};
    return opened;
}

} // namespace sound
