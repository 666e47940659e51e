#include "diskmemo.h"
// Draws the window as a musician sees it in use, for the documentation: the
// memo holds the start of a song, an empty slot is picked and the next chord
// is chosen with the root and kind buttons. Renders offscreen, so the image
// is the same on every machine that has the window's fonts.
//   soramina-screenshot <output.png>
#include "chordplayer.h"
#include "form1.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QPixmap>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <cstdio>

namespace
{

struct SongChord {
    const char *root;
    const char *kind;
};

// The memo's first slots; the rest of the file is left empty.
constexpr std::array<SongChord, 8> Song {{
    {"C", ""},
    {"A", "m"},
    {"F", ""},
    {"G", "7"},
    {"E", "m7"},
    {"D", "m7"},
    {"Bb", ""},
    {"C", ""},
}};
constexpr int PickedSlot = int(Song.size()); // the first empty slot
constexpr SongChord Chosen {"F#", "m7"}; // two black keys among its notes

int fail(const char *why)
{
    std::fprintf(stderr, "soramina-screenshot: %s\n", why);
    return 1;
}

bool writeSong(const QString &fileName)
{
    QByteArray bytes;
    for (const SongChord &chord : Song)
        bytes.append(chord.root).append("\r\n").append(chord.kind).append("\r\n");
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The option button of an array whose caption is the given text.
QRadioButton *buttonCaptioned(const Form1 &form, const char *array, const char *caption)
{
    for (QRadioButton *button : form.findChildren<QRadioButton *>()) {
        if (button->objectName().startsWith(QLatin1String(array) + u'(')
            && button->text() == QLatin1String(caption))
            return button;
    }
    return nullptr;
}

// Clicks the round indicator, which a short caption leaves at the left.
void clickOption(QRadioButton *button)
{
    QTest::mouseClick(
        button, Qt::LeftButton, {}, QPoint(button->height() / 2, button->height() / 2));
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2)
        return fail("usage: soramina-screenshot <output.png>");
    const QString output = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();

    const QTemporaryDir dir;
    if (!dir.isValid() || !writeSong(dir.filePath(QStringLiteral("code.dat")))
        || !QDir::setCurrent(dir.path()))
        return fail("cannot prepare a working directory with a memo");

    memofile::DiskMemo memo;
    // A player and a MIDI opener that never sound nor connect: the picture
    // shows every menu of the window without loading either module.
    sound::ChordPlayer player(sound::Opener {
        .load = [] { return QStringLiteral("音は絵に要りません"); }, .create = {}, .open = {}});
    QSettings settings(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    Form1 form(QDir::current().absoluteFilePath(QStringLiteral("code.dat")),
        {.keeper = &memo.keeper(),
            .player = &player,
            .midi = [](QObject *, midi::TransportReady) {},
            .settings = &settings});
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        return fail("the window was never shown");
    // A fallback font would make a picture of a window nobody sees.
    if (QFontInfo(form.font()).family() != form.font().family())
        return fail("the window's font is not installed (fonts-ipafont-gothic)");

    auto *slot = form.findChild<QLabel *>(QStringLiteral("lblslot(%1)").arg(PickedSlot));
    QRadioButton *root = buttonCaptioned(form, "opcode1", Chosen.root);
    QRadioButton *kind = buttonCaptioned(form, "opcode2", Chosen.kind);
    auto *name = form.findChild<QLabel *>(QStringLiteral("lblcode"));
    if (!slot || !root || !kind || !name)
        return fail("a control is missing");
    QTest::mouseClick(slot, Qt::LeftButton);
    clickOption(root);
    clickOption(kind);
    const QString shown = QLatin1String(Chosen.root) + QLatin1String(Chosen.kind);
    if (name->text() != shown || slot->text() != shown)
        return fail("the clicks did not show the chosen chord");

    if (!form.grab().save(output, "PNG"))
        return fail("cannot write the image");
    std::printf("%s\n", qPrintable(QDir::toNativeSeparators(output)));
    return 0;
}
