#include "errorreport.h"

#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

// Each case runs this executable again as a child that reports one error;
// the parent checks what the child showed and wrote, and that the report
// gave control back.
namespace
{
const char ChildFlag[] = "--report-child";

int runChild(int argc, char **argv)
{
    QApplication app(argc, argv);
    const services::FileError error {app.arguments().at(2), app.arguments().at(3)};
    const QString heading = app.arguments().at(4);
    // Prints what the box shows, then dismisses it as a user would.
    QTimer::singleShot(0, [] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) {
            std::printf("no message box\n");
            std::exit(3);
        }
        std::printf("%s\n%d\n%s\n", qPrintable(box->windowTitle()), int(box->icon()),
            qPrintable(box->text()));
        std::fflush(stdout);
        box->accept();
    });
    services::reportFileError(error, heading);
    return EXIT_SUCCESS;
}
} // namespace

class tst_ErrorReport : public QObject
{
    Q_OBJECT
private slots:
    void reportNamesFileAndReason_data();
    void reportNamesFileAndReason();
};

void tst_ErrorReport::reportNamesFileAndReason_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("heading");
    QTest::newRow("read") << "code.dat"
                          << "Is a directory"
                          << "";
    QTest::newRow("write, Japanese reason") << "code.dat"
                                            << "デバイスに空き領域がありません"
                                            << "";
    QTest::newRow("a fine file that is no memo") << "song.cho"
                                                 << "ChordPro のコード譜です"
                                                 << "ファイル「song.cho」はメモとして開けません。";
}

void tst_ErrorReport::reportNamesFileAndReason()
{
    QFETCH(QString, fileName);
    QFETCH(QString, reason);
    QFETCH(QString, heading);

    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
        {QString::fromLatin1(ChildFlag), fileName, reason, heading});
    QVERIFY(child.waitForFinished(20000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), EXIT_SUCCESS);

    const QStringList shown = QString::fromUtf8(child.readAllStandardOutput()).split('\n');
    QVERIFY2(shown.size() >= 3, qPrintable(shown.join('|')));
    QCOMPARE(shown.at(0), QStringLiteral("ソラミナ"));
    QCOMPARE(shown.at(1).toInt(), int(QMessageBox::Critical));
    const QString text = shown.mid(2).join('\n');
    QVERIFY2(text.contains(fileName) && text.contains(reason), qPrintable(text));
    // A heading takes the place of "could not read or write".
    QCOMPARE(text.contains(QStringLiteral("読み書き")), heading.isEmpty());
    QVERIFY(text.startsWith(heading));

    const QString stderrText = QString::fromUtf8(child.readAllStandardError());
    QVERIFY2(stderrText.contains(fileName) && stderrText.contains(reason), qPrintable(stderrText));
}

int main(int argc, char **argv)
{
    if (argc == 5 && qstrcmp(argv[1], ChildFlag) == 0) {
        return runChild(argc, argv);
    }
    QCoreApplication app(argc, argv);
    tst_ErrorReport test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_errorreport.moc"
