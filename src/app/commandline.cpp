#include "commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <array>
#include <cstdio>

namespace app
{

namespace
{

constexpr int UsageStatus = 2;

// The options QApplication reads itself; hidden from the help, as they are
// Qt's and documented by Qt.
struct QtOption {
    const char *name;
    bool takesValue;
};
constexpr std::array<QtOption, 12> QtOptions {{
    {"platform", true},
    {"platformtheme", true},
    {"platformpluginpath", true},
    {"plugin", true},
    {"display", true},
    {"style", true},
    {"stylesheet", true},
    {"geometry", true},
    {"qwindowgeometry", true},
    {"session", true},
    {"name", true},
    {"reverse", false},
}};

// One parser for reading and for the help text, so the two never disagree.
void describe(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Shows the notes of a chord on a two-octave piano keyboard\n"
                       "and keeps the chords of a song in a memo of 30 slots."));
    // Qt's options are single-dash words: -platform is not -p -l -a ...
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"),
        QStringLiteral("The memo file to read at start and write at exit."),
        QStringLiteral("[FILE]"));
    for (const QtOption &q : QtOptions) {
        QCommandLineOption option(QString::fromLatin1(q.name));
        if (q.takesValue)
            option.setValueName(QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    describe(parser);
    CommandLine command;
    if (!parser.parse(arguments)) {
        command.action = CommandLine::Action::Error;
        command.error = parser.errorText();
    } else if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
        command.action = CommandLine::Action::Help;
    } else if (parser.isSet(QStringLiteral("version"))) {
        command.action = CommandLine::Action::Version;
    } else if (parser.positionalArguments().size() > 1) {
        command.action = CommandLine::Action::Error;
        command.error = QStringLiteral("Only one FILE may be given.");
    } else {
        command.memoFile = parser.positionalArguments().value(0);
        command.platformGiven = parser.isSet(QStringLiteral("platform"));
    }
    return command;
}

int answerCommandLine(const CommandLine &command, const QString &program)
{
    // The parser's texts name the program through an application object,
    // made here with the name alone: the usage shows what a user types.
    QByteArray name = program.toLocal8Bit();
    int argc = 1;
    char *argv[] = {name.data(), nullptr};
    const QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(program);
    QCoreApplication::setApplicationVersion(QStringLiteral(SORAMINA_VERSION));
    QCommandLineParser parser;
    describe(parser);

    switch (command.action) {
    case CommandLine::Action::Help: print(stdout, parser.helpText()); return 0;
    case CommandLine::Action::Version:
        print(stdout,
            program + u' ' + QCoreApplication::applicationVersion()
                + QStringLiteral("\nCopyright (c) 2026 The ソラミナ developers.\n"
                                 "MIT License: free to use, change and pass on.\n"));
        return 0;
    case CommandLine::Action::Error:
        print(stderr,
            program + QStringLiteral(": ") + command.error + u'\n'
                + parser.helpText().section(u'\n', 0, 0) + u'\n'
                + QStringLiteral("Try '%1 --help' for more information.\n").arg(program));
        return UsageStatus;
    case CommandLine::Action::Run: break;
    }
    return 0;
}

} // namespace app
