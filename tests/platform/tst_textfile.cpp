#include "textfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <unistd.h>

namespace
{
enum class Setup { FileWithBytes, EmptyFile, Nothing, Directory, NoPermission };
const QString Name = QStringLiteral("code.dat");

QByteArray contents(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}
} // namespace

// Every test runs in a fresh temporary directory, as file names are relative.
class tst_TextFile : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void read_data();
    void read();
    void writerEndsEveryLineWithCrLf();
    void writerReplacesTheWholeFile();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_previousDir;
};

void tst_TextFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_previousDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir->path()));
}

void tst_TextFile::cleanup()
{
    QDir::setCurrent(m_previousDir);
    m_dir.reset();
}

void tst_TextFile::read_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<platform::ReadStatus>("status");
    QTest::addColumn<QByteArray>("bytes");

    using platform::ReadStatus;
    QTest::newRow("file") << Setup::FileWithBytes << ReadStatus::Read
                          << QByteArray("C\r\n\0\xff", 5);
    QTest::newRow("empty file") << Setup::EmptyFile << ReadStatus::Read << QByteArray();
    QTest::newRow("missing") << Setup::Nothing << ReadStatus::Missing << QByteArray();
    QTest::newRow("directory") << Setup::Directory << ReadStatus::Failed << QByteArray();
    // Root reads any file whatever its mode.
    if (::geteuid() != 0) {
        QTest::newRow("no permission") << Setup::NoPermission << ReadStatus::Failed << QByteArray();
    }
}

void tst_TextFile::read()
{
    QFETCH(Setup, setup);
    QFETCH(platform::ReadStatus, status);
    QFETCH(QByteArray, bytes);

    QFile file(Name);
    switch (setup) {
    case Setup::FileWithBytes:
    case Setup::EmptyFile:
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        break;
    case Setup::NoPermission:
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(file.setPermissions(QFileDevice::WriteOwner));
        break;
    case Setup::Directory: QVERIFY(QDir().mkdir(Name)); break;
    case Setup::Nothing: break;
    }

    const platform::ReadResult result = platform::readWholeFile(Name);
    QCOMPARE(result.status, status);
    QCOMPARE(result.bytes, bytes);
    QCOMPARE(result.error.has_value(), status == platform::ReadStatus::Failed);
    if (result.error) {
        QCOMPARE(result.error->fileName, Name);
        QVERIFY(!result.error->reason.isEmpty());
    }
}

void tst_TextFile::writerEndsEveryLineWithCrLf()
{
    platform::TextFileWriter writer(Name);
    writer.writeLine("C");
    writer.writeLine("");
    writer.writeLine(QByteArray("\x83\x52\0", 3));
    const auto error = writer.commit();
    QVERIFY2(!error, error ? qPrintable(error->reason) : "");
    QCOMPARE(contents(Name), QByteArray("C\r\n\r\n\x83\x52\0\r\n", 10));
}

void tst_TextFile::writerReplacesTheWholeFile()
{
    QFile old(Name);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("a much longer old content\r\n") > 0);
    old.close();

    platform::TextFileWriter writer(Name);
    writer.writeLine("new");
    const auto error = writer.commit();
    QVERIFY2(!error, error ? qPrintable(error->reason) : "");
    QCOMPARE(contents(Name), QByteArray("new\r\n"));
    QCOMPARE(QDir().entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList {Name});
}

QTEST_GUILESS_MAIN(tst_TextFile)
#include "tst_textfile.moc"
