#include "tempodialog.h"

#include "dialogbuttons.h"

#include <QFormLayout>
#include <QSpinBox>

namespace ui
{

TempoDialog::TempoDialog(const song::SongSettings &now, QWidget *parent)
    : QDialog(parent)
    , m_now(now)
    , m_tempo(new QSpinBox(this))
    , m_beats(new QSpinBox(this))
{
    setObjectName(QStringLiteral("tempoDialog"));
    setWindowTitle(QStringLiteral("テンポ"));
    m_tempo->setObjectName(QStringLiteral("tempo"));
    m_tempo->setRange(song::MinTempo, song::MaxTempo);
    m_tempo->setSuffix(QStringLiteral(" BPM"));
    m_tempo->setValue(now.tempo);
    m_beats->setObjectName(QStringLiteral("beats"));
    m_beats->setRange(song::MinBeats, song::MaxBeats);
    m_beats->setSuffix(QStringLiteral(" 拍"));
    m_beats->setValue(now.beatsPerBar);

    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("テンポ(&T):"), m_tempo);
    form->addRow(QStringLiteral("1 小節の拍数(&B):"), m_beats);
    form->addRow(okCancelButtons(this));
    m_tempo->setFocus();
}

song::SongSettings TempoDialog::chosen() const
{
    song::SongSettings chosen = m_now;
    chosen.tempo = m_tempo->value();
    chosen.beatsPerBar = m_beats->value();
    return chosen;
}

} // namespace ui
