#include "transposedialog.h"

#include "dialogbuttons.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QSpinBox>

namespace ui
{

namespace
{
constexpr int MostSemitones = 11;

struct SpellingRow {
    chord::Spelling spelling;
    const char *caption;
    const char *mark; // in the history's name; none for 自動
};
constexpr SpellingRow Spellings[] {
    {chord::Spelling::Auto, "自動(&A)", ""},
    {chord::Spelling::Sharp, "♯(&S)", "♯"},
    {chord::Spelling::Flat, "♭(&F)", "♭"},
};
} // namespace

TransposeDialog::TransposeDialog(QWidget *parent)
    : QDialog(parent)
    , m_semitones(new QSpinBox(this))
    , m_spelling(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("transposeDialog"));
    setWindowTitle(QStringLiteral("移調"));
    m_semitones->setObjectName(QStringLiteral("semitones"));
    m_semitones->setRange(-MostSemitones, MostSemitones);
    m_semitones->setSuffix(QStringLiteral(" 半音"));
    // "+2" reads as a move up; a bare 2 could be a key.
    m_semitones->setPrefix(QString());
    connect(m_semitones, &QSpinBox::valueChanged, this,
        [this](int value) { m_semitones->setPrefix(value > 0 ? QStringLiteral("+") : QString()); });

    auto *spellings = new QHBoxLayout;
    for (const SpellingRow &row : Spellings) {
        auto *button = new QRadioButton(QString::fromUtf8(row.caption), this);
        button->setObjectName(QStringLiteral("spelling%1").arg(int(row.spelling)));
        m_spelling->addButton(button, int(row.spelling));
        spellings->addWidget(button);
    }
    m_spelling->button(int(chord::Spelling::Auto))->setChecked(true);

    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("移調する幅(&T):"), m_semitones);
    form->addRow(QStringLiteral("黒鍵の書き方:"), spellings);
    form->addRow(okCancelButtons(this));
    m_semitones->setFocus();
}

int TransposeDialog::semitones() const
{
    return m_semitones->value();
}

chord::Spelling TransposeDialog::spelling() const
{
    return chord::Spelling(m_spelling->checkedId());
}

QString transposeLabel(int semitones, chord::Spelling spelling)
{
    QString label = QStringLiteral("移調 %1%2")
                        .arg(semitones > 0 ? QStringLiteral("+") : QString())
                        .arg(semitones);
    for (const SpellingRow &row : Spellings) {
        if (row.spelling == spelling && *row.mark)
            label += u' ' + QString::fromUtf8(row.mark);
    }
    return label;
}

} // namespace ui
