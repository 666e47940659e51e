#pragma once

#include "transpose.h"

#include <QString>
#include <QStringList>

#include <optional>

// The program's command line, read before any application object exists so
// that --help and --version work without a display.
namespace app
{

struct CommandLine {
    enum class Action {
        Run, // open the window
        Export, // write the song to exportFile and exit, with no window
        Help, // print the help and exit 0
        Version, // print the version and exit 0
        Error, // print error, usage and a hint on stderr and exit 2
    };
    Action action = Action::Run;
    QString memoFile; // the FILE argument; empty for the usual place
    QString exportFile; // --export OUT
    std::optional<chord::Transposition> transposition; // --transpose N
    std::optional<int> tempo; // --tempo BPM
    std::optional<int> beats; // --beats N
    // --key: the key the export names and numbers the chords by, in place of
    // the song's own; none with keyGiven for auto, the key found from them.
    bool keyGiven = false;
    std::optional<chord::Key> key;
    std::optional<int> capo; // --capo N
    bool nearest = false; // --nearest: a ChordPro song's names beyond our tables become the nearest
    QString error; // one line, for Action::Error
    bool errorAlone = false; // the line without usage and hint: an export's options
    bool platformGiven = false; // -platform NAME chooses the window system itself
};

// arguments as in main's argv, the program's name first. Qt's own options
// (-platform, -style, -display ...) are accepted and left for QApplication.
CommandLine parseCommandLine(const QStringList &arguments);

// Prints what a Help, Version or Error line asks for and returns the exit
// status; program is the name the usage shows.
int answerCommandLine(const CommandLine &command, const QString &program);

} // namespace app
