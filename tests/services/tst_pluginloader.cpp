#include "pluginloader.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Where a plugin is found: the test's own folder first, then the build tree;
// what is said when it is not there or will not load.
class tst_PluginLoader : public QObject
{
    Q_OBJECT
private slots:
    void load_data();
    void load();
};

void tst_PluginLoader::load_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("overridden"); // a file of that name in SORAMINA_PLUGIN_DIR
    QTest::addColumn<QStringList>("errorHas"); // %1 the overriding folder; none: it loads
    QTest::newRow("built") << PLUGIN_FILE << false << QStringList {};
    QTest::newRow("the override is taken first, even broken")
        << PLUGIN_FILE << true << QStringList {PLUGIN_FILE " を読み込めません", "%1/" PLUGIN_FILE};
    QTest::newRow("nowhere") << "soramina_none.so" << true
                             << QStringList {"soramina_none.so が見つかりません（%1, "};
}

void tst_PluginLoader::load()
{
    QFETCH(QString, fileName);
    QFETCH(bool, overridden);
    QFETCH(QStringList, errorHas);
    const QTemporaryDir own;
    QVERIFY(own.isValid());
    if (overridden) {
        QFile broken(own.filePath(QStringLiteral(PLUGIN_FILE)));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        qputenv(services::PluginDirVariable, own.path().toUtf8());
    } else {
        qunsetenv(services::PluginDirVariable);
    }
    const QString error = services::PluginLoader(fileName).load();
    QCOMPARE(error.isEmpty(), errorHas.isEmpty());
    for (const QString &part : std::as_const(errorHas))
        QVERIFY2(error.contains(QString(part).replace(QStringLiteral("%1"), own.path())),
            qPrintable(error));
}

QTEST_GUILESS_MAIN(tst_PluginLoader)
#include "tst_pluginloader.moc"
