#include "chordproreader.h"
#include "songdocument.h"
#include "songhistory.h"

#include <QTest>

// A song as a compact text: chords by name ("-" a rest), ":beats" for a
// chord that is not a whole bar, "@name" for one that begins a section,
// "*count" for a run of the same.
namespace
{
QString tokenOf(const song::Bar &bar)
{
    QString token = bar.isEmpty() ? QStringLiteral("-") : bar.name();
    if (bar.beats != 0)
        token += QStringLiteral(":%1").arg(bar.beats);
    return bar.section.isEmpty() ? token : token + u'@' + bar.section;
}

QString textOf(const song::Song &song)
{
    QStringList tokens;
    for (std::size_t k = 0; k < song.bars.size();) {
        const QString token = tokenOf(song.bars[k]);
        std::size_t run = 1;
        while (k + run < song.bars.size() && tokenOf(song.bars[k + run]) == token)
            ++run;
        tokens << (run > 1 ? token + QStringLiteral("*%1").arg(run) : token);
        k += run;
    }
    return tokens.join(u' ');
}

song::Song songOfText(const QString &text)
{
    song::Song song;
    for (const QString &token : text.split(u' ', Qt::SkipEmptyParts)) {
        const QString count = token.section(u'*', 1);
        const QString chord = token.section(u'*', 0, 0);
        const QString name = chord.section(u'@', 0, 0).section(u':', 0, 0);
        const int root = name.size() > 1 && (name[1] == u'#' || name[1] == u'b') ? 2 : 1;
        song::Bar bar = name == u'-' ? song::Bar {} : song::barOf(name.left(root), name.mid(root));
        bar.beats = chord.section(u'@', 0, 0).section(u':', 1).toInt();
        bar.section = chord.section(u'@', 1);
        for (int k = 0; k < (count.isEmpty() ? 1 : count.toInt()); ++k)
            song.bars.push_back(bar);
    }
    return song;
}

std::vector<memo::ChordText> chordsOf(const QStringList &names)
{
    std::vector<memo::ChordText> chords;
    for (const QString &name : names)
        chords.push_back({name.section(u'|', 0, 0), name.section(u'|', 1)});
    return chords;
}
} // namespace

class tst_SongDocument : public QObject
{
    Q_OBJECT
private slots:
    void edits_data();
    void edits();
    void pages_data();
    void pages();
};

void tst_SongDocument::edits_data()
{
    QTest::addColumn<QString>("start");
    // "store I ROOT|KIND", "type I ROOT|KIND" (typed), "select" (another box
    // chosen), "clear I", "closeup I", "insert I", "paste I NAMES...",
    // "move A B", "copy A B", "length I BEATS", "section I NAME", "tempo N",
    // "meter N", "title TEXT", "transpose N", "undo", "redo"; indexes from 0.
    // "advance I ROOT|KIND" stores as step entry does, moving on to I + 1.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("song");
    QTest::addColumn<QString>("undo"); // the undo step's label
    QTest::addColumn<QString>("last"); // what the last change said: "first-end" and what else
    // "refused STEP" for each step refused; "receiving N of C" where a step
    // of step entry moves the receiving box, while the song has C chords.
    QTest::addColumn<QStringList>("log");

    QTest::newRow("stored past the end: rests between")
        << "C" << QStringList {"store 3 D|7"} << "C -*2 D7"
        << "コード 4 に D7"
        << "1-4 length" << QStringList {};
    QTest::newRow("typed chords in one box merge, an undo takes them all back")
        << "C" << QStringList {"type 1 D|", "type 1 D|7", "undo"} << "C"
        << ""
        << "1-2 length" << QStringList {};
    QTest::newRow("typed back to what the box held: no step left")
        << "C D" << QStringList {"type 1 E|", "type 1 D|"} << "C D"
        << ""
        << "1-2" << QStringList {};
    QTest::newRow("another box chosen: typing is a step of its own")
        << "C" << QStringList {"type 1 D|", "select", "type 1 E|m", "undo"} << "C D"
        << "コード 2 に D"
        << "1-2" << QStringList {};
    QTest::newRow("the last chord cleared: the rests before it go too")
        << "C -*2 D:2@B" << QStringList {"section 3 ", "clear 3"} << "C"
        << "削除（コード 4）"
        << "1-4 length" << QStringList {};
    QTest::newRow("a rest that begins a section ends the song")
        << "C" << QStringList {"section 2 サビ"} << "C - -@サビ"
        << "セクション サビ（コード 3）"
        << "1-3 length" << QStringList {};
    QTest::newRow("insert and close-up move the rest of the song")
        << "C D E" << QStringList {"insert 1", "closeup 3"} << "C - D"
        << "削除して詰める（コード 4）"
        << "3-4 length" << QStringList {};
    QTest::newRow("stored on page 2, a box opened on page 1 moves it on")
        << "C*30 D*29" << QStringList {"store 31 E|", "insert 5"} << "C*5 - C*25 D E D*27"
        << "空きを挿入（コード 6）"
        << "5-60 length pages" << QStringList {};
    QTest::newRow("undone across pages")
        << "C*30 D*29" << QStringList {"store 31 E|", "insert 5", "undo", "undo", "redo"}
        << "C*30 D E D*27"
        << "コード 32 に E"
        << "31-32" << QStringList {};
    QTest::newRow("pasted from an index on, over the end")
        << "C D E" << QStringList {"paste 2 A|m B|7"} << "C D Am B7"
        << "貼り付け（コード 3）"
        << "2-4 length" << QStringList {};
    QTest::newRow("moved and copied: the section stays with its box on a copy")
        << "C D E@A F" << QStringList {"move 0 2", "copy 3 1"} << "D F@A C F"
        << "コピー（コード 4 → 2）"
        << "1-2" << QStringList {};
    QTest::newRow("lengths: a whole bar is 0, past eight long bars refused")
        << "C D" << QStringList {"length 1 2", "length 0 4", "length 0 97"} << "C D:2"
        << "長さ 2 拍（コード 2）"
        << "1-2" << QStringList {"refused length 0 97"};
    QTest::newRow("a meter that makes chords whole bars, undone")
        << "C:3 D:3 E F:2" << QStringList {"meter 3", "undo", "meter 5", "tempo 301"}
        << "C:3 D:3 E F:2"
        << "拍子 5/4"
        << "0-0 info" << QStringList {"refused tempo 301"};
    QTest::newRow("a meter that makes chords whole bars")
        << "C:3 D:3 E F:2" << QStringList {"meter 3"} << "C D E F:2"
        << "拍子 3/4"
        << "0-2 info" << QStringList {};
    QTest::newRow("transposed with lengths and sections; title and tempo")
        << "C@A A:2 - F#m" << QStringList {"transpose 2", "title Amazing Grace", "tempo 90"}
        << "D@A B:2 - G#m"
        << "テンポ 90"
        << "0-0 info" << QStringList {};
    QTest::newRow("the bound refuses what would grow the song")
        << "C*4000"
        << QStringList {"insert 5", "store 4000 D|", "paste 3999 D| E|", "closeup 0", "insert 0"}
        << "- C*3999"
        << "空きを挿入（コード 1）"
        << "0-4000 length"
        << QStringList {"refused insert 5", "refused store 4000 D|", "refused paste 3999 D| E|"};
    QTest::newRow("step entry: the box moves on after the chord, back before it on undo")
        << "C" << QStringList {"advance 2 D|", "undo"} << "C"
        << ""
        << "1-3 length" << QStringList {"receiving 3 of 3", "receiving 2 of 3"};
}

void tst_SongDocument::edits()
{
    QFETCH(QString, start);
    QFETCH(QStringList, steps);
    QFETCH(QString, song);
    QFETCH(QString, undo);
    QFETCH(QString, last);
    QFETCH(QStringList, log);

    song::SongDocument document(songOfText(start));
    const song::Song original = document.song();
    song::SongHistory history(document);
    QUndoStack *stack = history.undoStack();
    QString said;
    connect(&history, &song::SongHistory::changed, this, [&said](const song::SongChange &c) {
        said = QStringLiteral("%1-%2").arg(c.first).arg(c.end)
            + (c.lengthChanged ? QStringLiteral(" length") : QString())
            + (c.pagesChanged ? QStringLiteral(" pages") : QString())
            + (c.infoChanged ? QStringLiteral(" info") : QString());
    });
    QStringList logged;
    for (const QString &step : std::as_const(steps)) {
        const QStringList w = step.split(u' ');
        const int a = w.value(1).toInt(), b = w.value(2).toInt();
        const QStringList chord = w.value(2).split(u'|');
        song::SongInfo info = document.info();
        bool done = true;
        const auto receiving = [&logged, &document, a](bool after) {
            logged << QStringLiteral("receiving %1 of %2")
                          .arg(after ? a + 1 : a)
                          .arg(document.chordCount());
        };
        if (w[0] == "advance")
            done = history.store(a, chord[0], chord.value(1), receiving);
        else if (w[0] == "store" || w[0] == "type")
            done = history.store(a, chord[0], chord.value(1), w[0] == "type");
        else if (w[0] == "select")
            history.endMerging();
        else if (w[0] == "clear")
            done = history.clear(a);
        else if (w[0] == "closeup")
            done = history.closeUp(a);
        else if (w[0] == "insert")
            done = history.insert(a);
        else if (w[0] == "paste")
            done = history.paste(a, chordsOf(w.mid(2)));
        else if (w[0] == "move")
            done = history.move(a, b);
        else if (w[0] == "copy")
            done = history.copy(a, b);
        else if (w[0] == "length")
            done = history.setLength(a, b);
        else if (w[0] == "section")
            done = history.setSection(a, step.section(u' ', 2));
        else if (w[0] == "transpose")
            history.transpose(a, chord::Spelling::Auto);
        else if (w[0] == "undo")
            stack->undo();
        else if (w[0] == "redo")
            stack->redo();
        else {
            info.tempo = w[0] == "tempo" ? a : info.tempo;
            info.beatsPerBar = w[0] == "meter" ? a : info.beatsPerBar;
            info.title = w[0] == "title" ? step.section(u' ', 1) : info.title;
            done = history.setInfo(info);
        }
        if (!done)
            logged << QStringLiteral("refused ") + step;
    }
    QCOMPARE(textOf(document.song()), song);
    QCOMPARE(stack->undoText(), undo);
    QCOMPARE(said, last);
    QCOMPARE(logged, log);

    // Saved and opened again, it is the same document.
    const song::Song now = document.song();
    const song::ChordProSong read = song::readChordPro(document.fileBytes());
    QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
    QCOMPARE(textOf(song::SongDocument::fromFile(read, {}).song()), song);
    QVERIFY(song::SongDocument::fromFile(read, {}).song() == now);
    // Every step undone gives the song it began as; redone, the one it became.
    const int index = stack->index();
    stack->setIndex(0);
    QCOMPARE(textOf(document.song()), textOf(original));
    QVERIFY(document.song() == original);
    stack->setIndex(index);
    QVERIFY(document.song() == now);
}

void tst_SongDocument::pages_data()
{
    QTest::addColumn<int>("chords"); // chord k named "C" and k
    QTest::addColumn<int>("index"); // a chord looked up by its page and box
    QTest::addColumn<QString>("line"); // the page line of that page
    QTest::addColumn<QString>("shown"); // in its box

    QTest::newRow("an empty song has a page") << 0 << 0 << "ページ 1/1"
                                              << "";
    QTest::newRow("a page holds the box after the end") << 29 << 28 << "ページ 1/1"
                                                        << "C28";
    QTest::newRow("a full page: the next chord goes on page 2") << 30 << 30 << "ページ 2/2"
                                                                << "";
    QTest::newRow("page 2, box 2") << 31 << 31 << "ページ 2/2"
                                   << "";
    QTest::newRow("page 2, box 1") << 45 << 30 << "ページ 2/2"
                                   << "C30";
    QTest::newRow("at the bound, no page past it") << 4000 << 3999 << "ページ 134/134"
                                                   << "C3999";
}

void tst_SongDocument::pages()
{
    QFETCH(int, chords);
    QFETCH(int, index);
    QFETCH(QString, line);
    QFETCH(QString, shown);
    song::Song song;
    for (int k = 0; k < chords; ++k)
        song.bars.push_back(song::barOf(QStringLiteral("C"), QString::number(k)));
    const song::SongDocument document(song);
    const int page = song::SongDocument::pageOf(index);
    const int box = song::SongDocument::boxOf(index);
    QCOMPARE(song::SongDocument::indexOf(page, box), index);
    QCOMPARE(document.pageLine(page), line);
    const memo::ChordText text = document.pageTexts(page)[std::size_t(box)];
    QCOMPARE(text.root + text.kind, shown);
}

QTEST_GUILESS_MAIN(tst_SongDocument)
#include "tst_songdocument.moc"
