#include "chordsheetfile.h"
#include "song.h"

#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using Names = QList<QStringList>; // root and kind, bar by bar

namespace
{

song::Song songOf(const QString &title, const Names &bars)
{
    song::Song s;
    s.title = title;
    for (const QStringList &bar : bars)
        s.bars.push_back(song::barOf(bar[0], bar[1]));
    return s;
}

// A known chord, an unknown root, an empty box, a repeated chord.
song::Song mixedSong()
{
    return songOf(QStringLiteral("さくら"),
        {{"C", ""}, {"A", "m"}, {"H", ""}, {"", ""}, {"Bb", "7"}, {"F#", "m7-5"}, {"A", "m"}});
}

// A full memo of 30 different chords: 30 bars and 30 keyboards.
song::Song fullSong()
{
    const QStringList roots {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    const QStringList kinds {
        "", "m", "7", "m7", "M7", "dim", "m7-5", "aug", "sus4", "7sus4", "6", "add9", "m6", "mM7"};
    Names bars;
    for (int i = 0; i < 30; ++i)
        bars.append({roots[i % roots.size()], kinds[i % kinds.size()]});
    return songOf(QStringLiteral("full"), bars);
}

// Two chords in a bar, a chord of two bars, sections on and inside bar lines.
song::Song formSong()
{
    song::Song s = songOf(QStringLiteral("Form"),
        {{"C", ""}, {"G", ""}, {"D", ""}, {"A", "m"}, {"F", ""}, {"E", "7"}, {"A", ""}});
    const int beats[] {0, 2, 2, 8, 0, 2, 2};
    for (std::size_t k = 0; k < s.bars.size(); ++k)
        s.bars[k].beats = beats[k];
    s.bars[0].section = QStringLiteral("A");
    s.bars[4].section = QStringLiteral("サビ");
    s.bars[6].section = QStringLiteral("B");
    return s;
}

// 128 bars: two pages of them, the keyboards on a third.
song::Song longSong()
{
    const QStringList roots {"C", "D", "E", "F", "G", "A", "B"};
    Names bars;
    for (int i = 0; i < 128; ++i)
        bars.append({roots[i % roots.size()], i % 2 ? "m" : "7"});
    return songOf(QStringLiteral("long"), bars);
}

// Whole words in this order, with nothing between them but white space.
QString wordsInOrder(const QStringList &words)
{
    QStringList escaped;
    for (const QString &w : words)
        escaped << QRegularExpression::escape(w);
    return QStringLiteral("^\\s*") + escaped.join(QStringLiteral("\\s+")) + QStringLiteral("\\s*$");
}

QStringList barNames(const song::Song &s, bool knownOnce)
{
    QStringList names;
    for (const song::Bar &bar : s.bars) {
        if (knownOnce && (bar.isRest() || names.contains(bar.standardName())))
            continue;
        if (!bar.name().isEmpty())
            names << bar.standardName();
    }
    return names;
}

int pixelsOf(const QImage &image, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        count += int(std::count(line, line + image.width(), colour));
    }
    return count;
}

// A device as a full disk is: it opens, and takes nothing.
class FullDisk final : public QIODevice
{
protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64) override
    {
        setErrorString(QStringLiteral("No space left on device"));
        return -1;
    }
};

} // namespace

class tst_ChordSheet : public QObject
{
    Q_OBJECT
private slots:
    void pdfReadBack_data();
    void pdfReadBack();
    void png();
    void failureSaysWhy_data();
    void failureSaysWhy();
};

void tst_ChordSheet::pdfReadBack_data()
{
    QTest::addColumn<song::Song>("song");
    QTest::addColumn<QStringList>("command"); // PDF stands for the file
    QTest::addColumn<QString>("expected"); // a pattern the whole output matches

    const song::Song mixed = mixedSong();
    QTest::newRow("pdfinfo: one A4 portrait page")
        << mixed << QStringList {"pdfinfo", "PDF"}
        << R"((?s)^Title:\s+さくら\n.*\nPages:\s+1\n.*\nPage size:\s+595(\.\d+)? x 84[12](\.\d+)? pts \(A4\)\n.*)";
    QTest::newRow("pdffonts: IPAPGothic alone, embedded")
        << mixed << QStringList {"pdffonts", "PDF"}
        << R"(^name.*\n-[- ]+\n(\S+\+)?IPAPGothic\s+CID TrueType\s+Identity-H\s+yes\s+(yes|no)\s+yes\s+\d+\s+\d+\n$)";
    // Bars first, then one keyboard label for each known chord; H and the
    // empty box get none.
    QTest::newRow("pdftotext: title, meter, names in bar order, then the keyboards'")
        << mixed << QStringList {"pdftotext", "-layout", "PDF", "-"}
        << wordsInOrder(QStringList {"さくら", "♩", "=", "120", "4/4"} + barNames(mixed, false)
               + barNames(mixed, true));
    const song::Song full = fullSong();
    // Cropped to the page: a keyboard pushed off it would lose its label.
    QTest::newRow("pdftotext: a full memo's 30 keyboards on the page")
        << full
        << QStringList {"pdftotext", "-x", "0", "-y", "0", "-W", "595", "-H", "842", "PDF", "-"}
        << wordsInOrder(QStringList {"full", "♩", "=", "120", "4/4"} + barNames(full, false)
               + barNames(full, true));
    const song::Song form = formSong();
    // Each section begins a line under its name, unless it begins inside a bar.
    QTest::newRow("pdftotext: sections, two chords in a bar, % where a chord holds")
        << form << QStringList {"pdftotext", "-layout", "PDF", "-"}
        << wordsInOrder(QStringList {"Form", "♩", "=", "120", "4/4", "A", "C", "G", "D", "Am", "%",
                            "サビ", "B", "F", "E7", "A"}
               + barNames(form, true));
    song::Song capo
        = songOf(QStringLiteral("Capo"), {{"Eb", ""}, {"C", "m7"}, {"Ab", "M7"}, {"Bb", "7"}});
    capo.capo = 3;
    QTest::newRow("pdftotext: the key, the capo; degrees and the shapes played under the names")
        << capo << QStringList {"pdftotext", "-layout", "PDF", "-"}
        << wordsInOrder({"Capo", "♩", "=", "120", "4/4", "キー:", "Eb", "カポ", "3", "Eb", "Cm7",
               "Abmaj7", "Bb7", "Ⅰ", "(C)", "Ⅵm7", "(Am7)", "ⅣM7", "(Fmaj7)", "Ⅴ7", "(G7)", "Eb",
               "Cm7", "Abmaj7", "Bb7"});
    const song::Song long128 = longSong();
    QTest::newRow("pdfinfo: a long song on three pages")
        << long128 << QStringList {"pdfinfo", "PDF"} << R"((?s)^Title:\s+long\n.*\nPages:\s+3\n.*)";
    QTest::newRow("pdftotext: every bar of a long song, page after page")
        << long128 << QStringList {"pdftotext", "PDF", "-"}
        << wordsInOrder(QStringList {"long", "♩", "=", "120", "4/4"} + barNames(long128, false)
               + barNames(long128, true));
}

void tst_ChordSheet::pdfReadBack()
{
    QFETCH(song::Song, song);
    QFETCH(QStringList, command);
    QFETCH(QString, expected);
    QVERIFY2(!QStandardPaths::findExecutable(command[0]).isEmpty(),
        "poppler-utils is missing: run scripts/setup.sh");
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(song::sheetPdf(song));
    file.close();

    QProcess reader;
    reader.start(command[0], command.mid(1).replaceInStrings(QStringLiteral("PDF"), pdf));
    QVERIFY(reader.waitForFinished());
    QCOMPARE(reader.exitCode(), 0);
    QString output = QString::fromUtf8(reader.readAllStandardOutput());
    output.remove(u'\f'); // pdftotext ends the page with a form feed
    // A song with no key or capo of its own is about its bars: read without
    // the key found and the degrees.
    if (command[0] == u"pdftotext" && !song.key && song.capo == 0) {
        static const QRegularExpression keyWords(
            QStringLiteral(R"((?<!\S)(キー: \S+|[♭♯]?[Ⅰ-Ⅶ]\S*)(?!\S))"));
        output.remove(keyWords);
    }
    QVERIFY2(QRegularExpression(expected, QRegularExpression::UseUnicodePropertiesOption)
                 .match(output)
                 .hasMatch(),
        qPrintable(output));
}

void tst_ChordSheet::png()
{
    const QByteArray bytes = song::sheetPng(fullSong());
    QVERIFY(bytes.startsWith("\x89PNG\r\n\x1a\n"));
    QCOMPARE(bytes.mid(12, 4), "IHDR");
    QCOMPARE(qFromBigEndian<quint32>(bytes.constData() + 16), 1240u); // IHDR width
    QCOMPARE(qFromBigEndian<quint32>(bytes.constData() + 20), 1754u); // and height

    const QImage image = QImage::fromData(bytes, "PNG").convertToFormat(QImage::Format_RGB32);
    const QRect page = image.rect();
    for (const QPoint corner :
        {page.topLeft(), page.topRight(), page.bottomLeft(), page.bottomRight()})
        QCOMPARE(image.pixel(corner), qRgb(255, 255, 255));
    // The keyboards shrank to fit: nothing reaches into the bottom 1.5 cm...
    const QImage bottom = image.copy(0, page.height() - 88, page.width(), 88);
    QCOMPARE(pixelsOf(bottom, qRgb(255, 255, 255)), bottom.width() * bottom.height());
    // ...and they are there, with their light green markers.
    QVERIFY(pixelsOf(image, qRgb(0x80, 0xff, 0x80)) > 0);
}

void tst_ChordSheet::failureSaysWhy_data()
{
    QTest::addColumn<bool>("png");
    QTest::addColumn<bool>("full"); // a full disk, or a folder that is not there
    QTest::addColumn<QString>("why");
    QTest::addColumn<bool>("tooLong"); // a sheet of more pages than a picture holds
    QTest::newRow("PDF, no folder") << false << false << "No such file or directory" << false;
    QTest::newRow("PDF, a full disk") << false << true << "No space left on device" << false;
    QTest::newRow("PNG, no folder") << true << false << "No such file or directory" << false;
    QTest::newRow("PNG, a full disk") << true << true << "No space left on device" << false;
    QTest::newRow("PNG of more pages than a picture holds: none, and why")
        << true << false << "画像は 60 ページまでです" << true;
}

void tst_ChordSheet::failureSaysWhy()
{
    QFETCH(bool, png);
    QFETCH(bool, full);
    QFETCH(QString, why);
    QFETCH(bool, tooLong);
    QTemporaryDir dir;
    QFile missing(dir.filePath(QStringLiteral("none/sheet")));
    FullDisk disk;
    if (full)
        QVERIFY(disk.open(QIODevice::WriteOnly));
    QIODevice &device = full ? static_cast<QIODevice &>(disk) : missing;

    song::Song s = mixedSong();
    if (tooLong) // 4500 bars: 67 pages
        s = songOf(QStringLiteral("long"), Names(4500, QStringList {"C", ""}));
    const QString error = png ? song::writeSheetPng(s, device) : song::writeSheetPdf(s, device);
    QVERIFY2(error.contains(why), qPrintable(error));
    QVERIFY(!missing.exists());
}

// A QGuiApplication, not a QApplication: the sheet needs fonts, no widget.
int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    tst_ChordSheet test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_chordsheet.moc"
