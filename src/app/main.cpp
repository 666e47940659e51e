#include "application.h"
#include "chordplayer.h"
#include "commandline.h"
#include "diskmemo.h"
#include "errorreport.h"
#include "exportcommand.h"
#include "form1.h"
#include "memofilecommands.h"
#include "memolocation.h"
#include "termination.h"
#include "windowsystem.h"

#include <QApplication>
#include <QFileInfo>
#include <QSettings>

#include <memory>

namespace
{
// soramina [FILE]: a memo per song, or the default memo.
QString memoPathFrom(const app::CommandLine &command)
{
    if (!command.memoFile.isEmpty())
        return command.memoFile;
    memofile::makeDefaultMemoFolder();
    return memofile::defaultMemoPath();
}
} // namespace

int main(int argc, char *argv[])
{
    sound::askPulseBuffer();
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const QString program = QFileInfo(arguments.value(0)).fileName();
    const app::CommandLine command = app::parseCommandLine(arguments);
    if (command.action == app::CommandLine::Action::Export)
        return app::runExport(command, program, argc, argv);
    if (command.action != app::CommandLine::Action::Run)
        return app::answerCommandLine(command, program);

    memofile::ignoreFileSizeSignal();
    std::unique_ptr<QApplication> application;
    {
        const app::WindowSystemGuard guard(program);
        application = std::make_unique<QApplication>(argc, argv);
    }
    app::prepareApplication();
    // The services the window works with: the memo on the disk, the
    // desktop's audio output, the ALSA sequencer, the settings file.
    QSettings settings(QStringLiteral("soramina"), QStringLiteral("soramina"));
    memofile::DiskMemo memo;
    const std::unique_ptr<sound::ChordPlayer> player = sound::devicePlayer();
    Form1 window(
        memoPathFrom(command), {&memo.keeper(), player.get(), MidiMenu::defaultOpener, &settings});
    if (const auto &error = window.loadError()) {
        services::reportFileError(*error, window.loadErrorHeading());
        return EXIT_FAILURE;
    }
    // A termination request closes the window with nobody there to answer a
    // question: the memo is saved or rescued. The session's request to save
    // before a logout, which may still be cancelled, saves it and keeps the window.
    services::TerminationWatcher termination;
    ui::MemoFileCommands *memoFile = window.rooms().memoFile;
    QObject::connect(&termination, &services::TerminationWatcher::terminationRequested, memoFile,
        &ui::MemoFileCommands::closeUnattended);
    QObject::connect(application.get(), &QGuiApplication::commitDataRequest, memoFile,
        &ui::MemoFileCommands::saveForSession);
    app::setIconAfterFirstPaint(&window);
    window.show();
    const int status = QApplication::exec();
    return status != 0 ? status : memoFile->exitStatus();
}
