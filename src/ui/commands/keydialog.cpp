#include "keydialog.h"

#include "dialogbuttons.h"

#include <QComboBox>
#include <QFormLayout>
#include <QRadioButton>
#include <QSpinBox>

#include <cmath>

namespace ui
{

namespace
{
constexpr int KeyCount = 2 * chord::PitchClassCount;

// The combo's rows by tonic, each major before its parallel minor.
chord::Key keyAt(int row)
{
    return {row / 2, row % 2 == 1};
}

int rowOf(chord::Key key)
{
    return key.tonic * 2 + (key.minor ? 1 : 0);
}

// "自動 (見つかったキー: G、確かさ 87%)": what 自動 stands for now.
QString autoKeyCaption(const std::optional<chord::FoundKey> &found)
{
    if (!found)
        return QStringLiteral("自動(&A) (コードがありません)");
    return QStringLiteral("自動(&A) (見つかったキー: %1、確かさ %2%)")
        .arg(QString::fromStdString(chord::keyName(found->key)))
        .arg(std::lround(found->confidence * 100));
}
} // namespace

KeyDialog::KeyDialog(
    const song::SongSettings &now, const std::optional<chord::FoundKey> &found, QWidget *parent)
    : QDialog(parent)
    , m_now(now)
    , m_auto(new QRadioButton(autoKeyCaption(found), this))
    , m_fixed(new QRadioButton(QStringLiteral("指定(&K):"), this))
    , m_key(new QComboBox(this))
    , m_capo(new QSpinBox(this))
{
    setObjectName(QStringLiteral("keyDialog"));
    setWindowTitle(QStringLiteral("キーとカポ"));
    m_auto->setObjectName(QStringLiteral("autoKey"));
    m_fixed->setObjectName(QStringLiteral("fixedKey"));
    m_key->setObjectName(QStringLiteral("key"));
    m_key->setAccessibleName(QStringLiteral("指定するキー"));
    for (int row = 0; row < KeyCount; ++row)
        m_key->addItem(QString::fromStdString(chord::keyName(keyAt(row))));
    // Choosing a key starts from the one in effect.
    const auto shown = chord::keyInEffect(now.key, found);
    m_key->setCurrentIndex(shown ? rowOf(*shown) : 0);
    connect(m_fixed, &QRadioButton::toggled, m_key, &QWidget::setEnabled);
    (now.key ? m_fixed : m_auto)->setChecked(true);
    m_key->setEnabled(m_fixed->isChecked());

    m_capo->setObjectName(QStringLiteral("capo"));
    m_capo->setAccessibleName(QStringLiteral("カポ"));
    m_capo->setRange(0, chord::MaxCapo);
    m_capo->setSpecialValueText(QStringLiteral("なし"));
    m_capo->setSuffix(QStringLiteral(" フレット"));
    m_capo->setValue(now.capo);

    auto *form = new QFormLayout(this);
    form->addRow(m_auto);
    form->addRow(m_fixed, m_key);
    form->addRow(QStringLiteral("カポ(&C):"), m_capo);
    form->addRow(okCancelButtons(this));
    (now.key ? static_cast<QWidget *>(m_key) : m_auto)->setFocus();
}

song::SongSettings KeyDialog::chosen() const
{
    song::SongSettings chosen = m_now;
    chosen.key = m_fixed->isChecked() ? std::optional(keyAt(m_key->currentIndex())) : std::nullopt;
    chosen.capo = m_capo->value();
    return chosen;
}

} // namespace ui
