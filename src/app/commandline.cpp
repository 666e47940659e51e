#include "commandline.h"

#include "chordmemo.h"
#include "song.h"

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
                       "and keeps the chords of a song in a memo of %1 slots,\n"
                       "or in a ChordPro song file of any length.")
            .arg(memo::MemoSlotCount));
    // Qt's options are single-dash words: -platform is not -p -l -a ...
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"),
        QStringLiteral("The memo file, read at start and saved as you go; a ChordPro\n"
                       "song (.cho, .chordpro, .chopro, .crd, .pro) opens as a song\n"
                       "of any length, saved as you go too (with --export: the memo,\n"
                       "or the song, to export)."),
        QStringLiteral("[FILE]"));
    parser.addOption({QStringLiteral("export"),
        QStringLiteral("Write the song to OUT and exit, with no window; the format\n"
                       "follows OUT's extension: .cho, .chordpro, .mid, .pdf, .png,\n"
                       ".wav or .txt. The memo file is never changed."),
        QStringLiteral("OUT")});
    parser.addOption({QStringLiteral("transpose"),
        QStringLiteral("With --export: move every root by N semitones, -11 to 11;\n"
                       "a suffix s or f spells black keys with sharps or flats,\n"
                       "none spells them in the key the song moves to."),
        QStringLiteral("N")});
    parser.addOption({QStringLiteral("tempo"),
        QStringLiteral("With --export: quarter notes a minute, %1 to %2.")
            .arg(song::MinTempo)
            .arg(song::MaxTempo),
        QStringLiteral("BPM")});
    parser.addOption({QStringLiteral("beats"),
        QStringLiteral("With --export: beats a bar, %1 to %2.")
            .arg(song::MinBeats)
            .arg(song::MaxBeats),
        QStringLiteral("N")});
    parser.addOption({QStringLiteral("key"),
        QStringLiteral("With --export: the song's key (G, Bb, F#m ...), which the\n"
                       "export names and numbers the chords by; auto finds it from\n"
                       "the chords. Without it: the song's own, else the one found."),
        QStringLiteral("K")});
    parser.addOption({QStringLiteral("capo"),
        QStringLiteral("With --export: the capo's fret, 0 to %1.").arg(chord::MaxCapo),
        QStringLiteral("N")});
    parser.addOption({QStringLiteral("nearest"),
        QStringLiteral("With --export of a ChordPro song: chord names the keyboard\n"
                       "does not know (C9, G/B) become the nearest chord it knows\n"
                       "(C7, G) instead of staying as written, and are not played.")});
    for (const QtOption &q : QtOptions) {
        QCommandLineOption option(QString::fromLatin1(q.name));
        if (q.takesValue)
            option.setValueName(QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

// One line and no more, as a script calling the export reads it.
void refuse(CommandLine &command, const QString &error)
{
    command.action = CommandLine::Action::Error;
    command.error = error;
    command.errorAlone = true;
}

// A whole number within a range, or nothing.
std::optional<int> numberIn(const QString &text, int lowest, int highest)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < lowest || n > highest)
        return std::nullopt;
    return n;
}

void readExportOptions(const QCommandLineParser &parser, CommandLine &command)
{
    const QString exportFile = parser.value(QStringLiteral("export"));
    const bool exporting = parser.isSet(QStringLiteral("export"));
    for (const char *name : {"transpose", "tempo", "beats", "key", "capo", "nearest"}) {
        if (!exporting && parser.isSet(QString::fromLatin1(name)))
            return refuse(command,
                QStringLiteral("--%1 は --export と一緒にしか使えません").arg(QLatin1String(name)));
    }
    if (!exporting)
        return;
    if (exportFile.isEmpty())
        return refuse(command, QStringLiteral("--export には書き出すファイルの名前が要ります"));
    command.action = CommandLine::Action::Export;
    command.exportFile = exportFile;
    command.nearest = parser.isSet(QStringLiteral("nearest"));
    if (parser.isSet(QStringLiteral("transpose"))) {
        const QString n = parser.value(QStringLiteral("transpose"));
        command.transposition = chord::parseTransposition(n.toStdString());
        if (!command.transposition)
            return refuse(command,
                QStringLiteral("--transpose は -11 から 11 まで（s を付けるとシャープ、f "
                               "を付けるとフラットで書きます）: 「%1」は使えません")
                    .arg(n));
    }
    if (parser.isSet(QStringLiteral("key"))) {
        const QString k = parser.value(QStringLiteral("key"));
        command.keyGiven = true;
        command.key = chord::parseKey(k.toStdString());
        if (!command.key && k != QLatin1String("auto"))
            return refuse(command,
                QStringLiteral("--key は G、Bb、F#m のような調か auto: 「%1」は使えません").arg(k));
    }
    // Whole numbers within a range: the song's tempo, its beats a bar, the capo.
    const struct {
        const char *name;
        int lowest;
        int highest;
        std::optional<int> CommandLine::*value;
    } numbers[] {
        {"tempo", song::MinTempo, song::MaxTempo, &CommandLine::tempo},
        {"beats", song::MinBeats, song::MaxBeats, &CommandLine::beats},
        {"capo", 0, chord::MaxCapo, &CommandLine::capo},
    };
    for (const auto &number : numbers) {
        const QString name = QString::fromLatin1(number.name);
        if (!parser.isSet(name))
            continue;
        const QString n = parser.value(name);
        command.*number.value = numberIn(n, number.lowest, number.highest);
        if (!(command.*number.value))
            return refuse(command,
                QStringLiteral("--%1 は %2 から %3 まで: 「%4」は使えません")
                    .arg(name)
                    .arg(number.lowest)
                    .arg(number.highest)
                    .arg(n));
    }
}

// Qt's parser says what is wrong in English; the program says it in Japanese.
QString parseError(const QCommandLineParser &parser)
{
    if (const QStringList unknown = parser.unknownOptionNames(); !unknown.isEmpty())
        return QStringLiteral("「%1」というオプションはありません")
            .arg(unknown.join(QStringLiteral("」「")));
    const QString text = parser.errorText();
    const QString option = text.section(u'\'', 1, 1);
    if (text.startsWith(QLatin1String("Missing value")))
        return QStringLiteral("「%1」の後に値がありません").arg(option);
    if (text.startsWith(QLatin1String("Unexpected value")))
        return QStringLiteral("「%1」は値をとりません").arg(option);
    return text;
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
        command.error = parseError(parser);
    } else if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
        command.action = CommandLine::Action::Help;
    } else if (parser.isSet(QStringLiteral("version"))) {
        command.action = CommandLine::Action::Version;
    } else if (parser.positionalArguments().size() > 1) {
        command.action = CommandLine::Action::Error;
        command.error = QStringLiteral("FILE は一つしか渡せません");
    } else {
        command.memoFile = parser.positionalArguments().value(0);
        command.platformGiven = parser.isSet(QStringLiteral("platform"));
        readExportOptions(parser, command);
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
        print(stderr, program + QStringLiteral(": ") + command.error + u'\n');
        if (!command.errorAlone)
            print(stderr,
                parser.helpText().section(u'\n', 0, 0) + u'\n'
                    + QStringLiteral("詳しくは「%1 --help」を見てください\n").arg(program));
        return UsageStatus;
    case CommandLine::Action::Run:
    case CommandLine::Action::Export: break;
    }
    return 0;
}

} // namespace app
