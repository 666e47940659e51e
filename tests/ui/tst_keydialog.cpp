#include "keydialog.h"
#include "tempodialog.h"

#include <QComboBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

namespace
{
std::optional<chord::Key> keyOf(const QString &name)
{
    return chord::parseKey(name.toStdString());
}

QString nameOf(const std::optional<chord::Key> &key)
{
    return key ? QString::fromStdString(chord::keyName(*key)) : QString();
}
} // namespace

class tst_KeyDialog : public QObject
{
    Q_OBJECT
private slots:
    void choose_data();
    void choose();
    void tempoKeepsKey();
};

void tst_KeyDialog::choose_data()
{
    // The key and capo kept ("" for 自動), the key found and how surely; what
    // 自動 says and the key the combo shows; then the key picked by its
    // mnemonic and name ("" to leave it, "auto" for 自動) and the capo
    // typed; and the key and capo chosen.
    QTest::addColumn<QString>("kept");
    QTest::addColumn<int>("keptCapo");
    QTest::addColumn<QString>("found");
    QTest::addColumn<double>("sureness");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("pick");
    QTest::addColumn<QString>("capo");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("fret");
    struct Row {
        const char *name, *kept;
        int keptCapo;
        const char *found;
        double sureness;
        const char *caption, *shown, *pick, *capo, *key;
        int fret;
    };
    const Row rows[] = {
        {"the found key shown, 自動 left", "", 0, "G", 0.868,
            "自動(&A) (見つかったキー: G、確かさ 87%)", "G", "", "", "", 0},
        {"no chords: a key chosen, a capo", "", 0, "", 0, "自動(&A) (コードがありません)", "C",
            "Bb", "3", "Bb", 3},
        {"the chosen key kept with its capo", "Em", 2, "G", 0.5,
            "自動(&A) (見つかったキー: G、確かさ 50%)", "Em", "", "", "Em", 2},
        {"back to 自動, the capo off", "Em", 5, "Em", 1,
            "自動(&A) (見つかったキー: Em、確かさ 100%)", "Em", "auto", "0", "", 0},
        {"a minor key, the highest capo", "", 0, "F", 0.3,
            "自動(&A) (見つかったキー: F、確かさ 30%)", "F", "C#m", "11", "C#m", 11},
    };
    for (const Row &r : rows) {
        QTest::newRow(r.name) << r.kept << r.keptCapo << r.found << r.sureness << r.caption
                              << r.shown << r.pick << r.capo << r.key << r.fret;
    }
}

void tst_KeyDialog::choose()
{
    QFETCH(QString, kept);
    QFETCH(int, keptCapo);
    QFETCH(QString, found);
    QFETCH(double, sureness);
    QFETCH(QString, caption);
    QFETCH(QString, shown);
    QFETCH(QString, pick);
    QFETCH(QString, capo);
    QFETCH(QString, key);
    QFETCH(int, fret);
    const song::SongSettings now {90, 3, keyOf(kept), keptCapo};
    std::optional<chord::FoundKey> foundKey;
    if (const auto k = keyOf(found))
        foundKey = chord::FoundKey {*k, sureness};
    ui::KeyDialog dialog(now, foundKey);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto *keys = dialog.findChild<QComboBox *>(QStringLiteral("key"));
    auto *spin = dialog.findChild<QSpinBox *>(QStringLiteral("capo"));
    QCOMPARE(dialog.findChild<QRadioButton *>(QStringLiteral("autoKey"))->text(), caption);
    QCOMPARE(keys->currentText(), shown);
    QCOMPARE(keys->isEnabled(), !kept.isEmpty());

    // A mnemonic clicks its radio button a moment after the keys.
    if (pick == u"auto") {
        QTest::keyClick(&dialog, Qt::Key_A, Qt::AltModifier);
        QTRY_VERIFY(!keys->isEnabled());
    } else if (!pick.isEmpty()) {
        QTest::keyClick(&dialog, Qt::Key_K, Qt::AltModifier);
        QTRY_VERIFY(keys->isEnabled());
        keys->setCurrentIndex(keys->findText(pick));
    }
    if (!capo.isEmpty()) {
        QTest::keyClick(&dialog, Qt::Key_C, Qt::AltModifier);
        QVERIFY(spin->hasFocus());
        spin->selectAll();
        QTest::keyClicks(spin, capo);
    }
    const song::SongSettings got = dialog.chosen();
    QCOMPARE(nameOf(got.key), key);
    QCOMPARE(got.capo, fret);
    QCOMPARE(got.tempo, now.tempo);
}

// Setting the tempo leaves the key and the capo as they were.
void tst_KeyDialog::tempoKeepsKey()
{
    const song::SongSettings now {90, 3, keyOf(QStringLiteral("Bb")), 4};
    const ui::TempoDialog dialog(now);
    QVERIFY(dialog.chosen() == now);
}

QTEST_MAIN(tst_KeyDialog)
#include "tst_keydialog.moc"
