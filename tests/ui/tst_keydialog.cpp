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
    // The key and capo kept ("" for 自動) and the key found; what 自動 says;
    // the key picked by mnemonic and name ("auto" for 自動) and the capo
    // typed ("" for neither); the key and capo chosen.
    const char *columns[] = {"kept", "keptCapo", "found", "caption", "pick", "capo", "key", "fret"};
    for (const char *column : columns)
        QTest::addColumn<QString>(column);
    const char *foundG = "自動(&A) (見つかったキー: G、確かさ 87%)";
    const char *rows[][9] = {
        {"the found key shown, 自動 left", "", "0", "G", foundG, "", "", "", "0"},
        {"no chords: a key chosen, a capo", "", "0", "", "自動(&A) (コードがありません)", "C#m",
            "11", "C#m", "11"},
        {"the chosen key kept with its capo", "Bb", "2", "G", foundG, "", "", "Bb", "2"},
        {"back to 自動, the capo off", "Em", "5", "G", foundG, "auto", "0", "", "0"},
    };
    for (const auto &row : rows) {
        QTestData &data = QTest::newRow(row[0]);
        for (int i = 1; i < 9; ++i)
            data << QString::fromUtf8(row[i]);
    }
}

void tst_KeyDialog::choose()
{
    QFETCH(QString, kept);
    QFETCH(QString, keptCapo);
    QFETCH(QString, found);
    QFETCH(QString, caption);
    QFETCH(QString, pick);
    QFETCH(QString, capo);
    QFETCH(QString, key);
    QFETCH(QString, fret);
    std::optional<chord::FoundKey> foundKey;
    if (const auto k = keyOf(found))
        foundKey = chord::FoundKey {*k, 0.868};
    const song::SongSettings now {90, 3, keyOf(kept), keptCapo.toInt()};
    ui::KeyDialog dialog(now, foundKey);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto *keys = dialog.findChild<QComboBox *>(QStringLiteral("key"));
    QCOMPARE(dialog.findChild<QRadioButton *>(QStringLiteral("autoKey"))->text(), caption);
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
        auto *spin = dialog.findChild<QSpinBox *>(QStringLiteral("capo"));
        QVERIFY(spin->hasFocus());
        spin->selectAll();
        QTest::keyClicks(spin, capo);
    }
    const song::SongSettings got = dialog.chosen();
    QCOMPARE(nameOf(got.key), key);
    QCOMPARE(got.capo, fret.toInt());
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
