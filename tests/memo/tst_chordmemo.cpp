#include "chordmemo.h"
#include "memomerge.h"

#include <QTest>

class tst_ChordMemo : public QObject
{
    Q_OBJECT
private slots:
    void storeAndFetch_data();
    void storeAndFetch();
    void slotText_data();
    void slotText();
};

void tst_ChordMemo::storeAndFetch_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("root");
    QTest::addColumn<QString>("kind");

    QTest::newRow("scratch slot, never saved") << 30 << "C"
                                               << "m";
    QTest::newRow("first slot") << 0 << "F#"
                                << "7";
    QTest::newRow("last saved slot") << 29 << "Bb"
                                     << "m7-5";
    QTest::newRow("major chord") << 5 << "D"
                                 << "";
    QTest::newRow("unknown chord kept") << 12 << "H"
                                        << "maj7";
}

void tst_ChordMemo::storeAndFetch()
{
    QFETCH(int, slot);
    QFETCH(QString, root);
    QFETCH(QString, kind);

    memo::ChordMemo memo;
    QCOMPARE(memo.curslot, memo::ScratchSlot);
    memo.curslot = slot;
    memo.store(root, kind);

    QList<QByteArray> expectedLines(memo::SlotFileLineCount);
    for (int k = 0; k < memo::SlotCount; ++k) {
        const memo::ChordText fetched = memo.fetch(k);
        QCOMPARE(fetched.root, k == slot ? root : QString());
        QCOMPARE(fetched.kind, k == slot ? kind : QString());
    }
    if (slot < memo::MemoSlotCount) {
        expectedLines[2 * slot] = root.toUtf8();
        expectedLines[2 * slot + 1] = kind.toUtf8();
    }
    QCOMPARE(memo::memoFileBytes(memo.lines()), expectedLines.join("\r\n") + "\r\n");
}

void tst_ChordMemo::slotText_data()
{
    QTest::addColumn<QByteArray>("loaded");
    QTest::addColumn<bool>("sameText"); // set the text it already shows
    QTest::addColumn<QString>("newText");
    QTest::addColumn<QByteArray>("saved");

    const QByteArray shiftJis("\x83\x52\x81\x5b\x83\x68"); // コード
    const QByteArray nul("C\0m", 3);
    QTest::newRow("unchanged Shift-JIS keeps its bytes") << shiftJis << true << "" << shiftJis;
    QTest::newRow("unchanged NUL keeps its bytes") << nul << true << "" << nul;
    QTest::newRow("unchanged cut-short UTF-8 keeps its bytes")
        << QByteArray("\xe3\x81") << true << "" << QByteArray("\xe3\x81");
    QTest::newRow("new text replaces invalid bytes")
        << shiftJis << false << "Am" << QByteArray("Am");
    QTest::newRow("new text is encoded")
        << QByteArray("C") << false << "ド" << QByteArray("\xe3\x83\x89");
    QTest::newRow("CR and LF stay out of the file") << QByteArray() << false << "C\r\nm\rx\n"
                                                    << QByteArray("Cmx");
    QTest::newRow("new empty text") << QByteArray("C") << false << "" << QByteArray();
}

void tst_ChordMemo::slotText()
{
    QFETCH(QByteArray, loaded);
    QFETCH(bool, sameText);
    QFETCH(QString, newText);
    QFETCH(QByteArray, saved);

    memo::SlotText text = memo::SlotText::fromBytes(loaded);
    QCOMPARE(text.bytes(), loaded);
    // Invalid bytes still show something rather than nothing.
    QCOMPARE(text.text().isEmpty(), loaded.isEmpty());

    const QString shown = sameText ? text.text() : newText;
    text.setText(shown);
    QCOMPARE(text.text(), shown);
    QCOMPARE(text.bytes(), saved);
}

QTEST_APPLESS_MAIN(tst_ChordMemo)
#include "tst_chordmemo.moc"
