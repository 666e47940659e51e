#include "heldnotes.h"
#include "settler.h"

#include <QTest>

#include <vector>

Q_DECLARE_METATYPE(std::vector<int>)

class tst_HeldNotes : public QObject
{
    Q_OBJECT
private slots:
    void sequences_data();
    void sequences();
    void settling_data();
    void settling();
};

// Events, separated by ';': "on CH NOTE VEL", "off CH NOTE", "cc CH CTRL VALUE".
void tst_HeldNotes::sequences_data()
{
    QTest::addColumn<QString>("events");
    QTest::addColumn<std::vector<int>>("held");
    QTest::newRow("a chord held") << "on 0 64 90; on 0 67 90; on 0 60 90"
                                  << std::vector {60, 64, 67};
    QTest::newRow("released") << "on 0 60 90; on 0 64 90; off 0 60" << std::vector {64};
    QTest::newRow("velocity 0 is a release")
        << "on 0 60 90; on 0 64 90; on 0 60 0" << std::vector {64};
    QTest::newRow("released under the pedal stays")
        << "cc 0 64 127; on 0 60 90; on 0 64 90; off 0 60; off 0 64" << std::vector {60, 64};
    QTest::newRow("pedal up lets go")
        << "cc 0 64 127; on 0 60 90; off 0 60; on 0 67 90; cc 0 64 0" << std::vector {67};
    QTest::newRow("played again under the pedal, then pedal up")
        << "cc 0 64 127; on 0 60 90; off 0 60; on 0 60 80; cc 0 64 0" << std::vector {60};
    QTest::newRow("pedal at 63 is up") << "cc 0 64 63; on 0 60 90; off 0 60" << std::vector<int> {};
    QTest::newRow("pedal at 64 is down") << "cc 0 64 64; on 0 60 90; off 0 60" << std::vector {60};
    QTest::newRow("pedal held on before the key")
        << "on 0 60 90; cc 0 64 100; off 0 60" << std::vector {60};
    QTest::newRow("all notes off")
        << "cc 0 64 127; on 0 60 90; off 0 60; on 0 64 90; cc 0 123 0" << std::vector<int> {};
    QTest::newRow("all notes off keeps other channels")
        << "on 0 60 90; on 1 64 90; cc 0 123 0" << std::vector {64};
    QTest::newRow("two channels merge")
        << "on 0 60 90; on 1 64 90; on 1 60 90" << std::vector {60, 64};
    QTest::newRow("same note, one channel lets go")
        << "on 0 60 90; on 1 60 90; off 0 60" << std::vector {60};
    QTest::newRow("pedal is per channel")
        << "cc 1 64 127; on 0 60 90; off 0 60; on 1 64 90; off 1 64" << std::vector {64};
    QTest::newRow("stray release") << "off 0 60; cc 0 64 127; off 0 62" << std::vector<int> {};
    QTest::newRow("other controllers") << "on 0 60 90; cc 0 1 127; cc 0 7 0" << std::vector {60};
    QTest::newRow("channel out of range")
        << "on 16 60 90; cc 16 64 127; on -1 62 90" << std::vector<int> {};
}

void tst_HeldNotes::sequences()
{
    QFETCH(QString, events);
    QFETCH(std::vector<int>, held);
    midi::HeldNotes notes;
    for (const QString &event : events.split(u';')) {
        const QStringList w = event.split(u' ', Qt::SkipEmptyParts);
        if (w[0] == u"on")
            notes.noteOn(w[1].toInt(), w[2].toInt(), w[3].toInt());
        else if (w[0] == u"off")
            notes.noteOff(w[1].toInt(), w[2].toInt());
        else
            notes.controlChange(w[1].toInt(), w[2].toInt(), w[3].toInt());
    }
    QCOMPARE(notes.notes(), held);
}

// Changes as "TIME:NOTE NOTE..." separated by ';', then the times asked and
// what each gets ("-" for nothing).
void tst_HeldNotes::settling_data()
{
    QTest::addColumn<QString>("changes");
    QTest::addColumn<QString>("asks");
    QTest::addColumn<QString>("answers");
    QTest::newRow("named after 50 ms") << "0:60 64 67"
                                       << "49;50;51"
                                       << "-;60 64 67;-";
    QTest::newRow("a rolled chord, named once") << "0:64;12:64 67;30:60 64 67"
                                                << "60;80"
                                                << "-;60 64 67";
    QTest::newRow("a change restarts the wait") << "0:60;40:60 64"
                                                << "55;90"
                                                << "-;60 64";
    QTest::newRow("letting go settles too") << "0:60 64 67;100:"
                                            << "120;150"
                                            << "-;";
}

void tst_HeldNotes::settling()
{
    QFETCH(QString, changes);
    QFETCH(QString, asks);
    QFETCH(QString, answers);
    midi::Settler settler;
    const auto toNotes = [](const QString &text) {
        std::vector<int> notes;
        for (const QString &n : text.split(u' ', Qt::SkipEmptyParts))
            notes.push_back(n.toInt());
        return notes;
    };
    QStringList got;
    const QStringList askList = asks.split(u';');
    const QStringList changeList = changes.split(u';');
    std::size_t next = 0;
    for (const QString &ask : askList) {
        const int now = ask.toInt();
        for (; next < std::size_t(changeList.size()); ++next) {
            const QStringList c = changeList[qsizetype(next)].split(u':');
            if (c[0].toInt() > now)
                break;
            settler.change(toNotes(c[1]), c[0].toInt());
        }
        const auto settled = settler.take(now);
        QStringList text;
        if (settled)
            for (const int n : *settled)
                text << QString::number(n);
        got << (settled ? text.join(u' ') : QStringLiteral("-"));
    }
    QCOMPARE(got.join(u';'), answers);
}

QTEST_APPLESS_MAIN(tst_HeldNotes)
#include "tst_heldnotes.moc"
