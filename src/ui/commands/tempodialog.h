#pragma once

#include "songsettings.h"

#include <QDialog>

class QSpinBox;

namespace ui
{

// Asks the song's tempo, in quarter notes a minute, and its beats a bar.
class TempoDialog : public QDialog
{
    Q_OBJECT
public:
    TempoDialog(const song::SongSettings &now, QWidget *parent = nullptr);

    song::SongSettings chosen() const;

private:
    QSpinBox *m_tempo;
    QSpinBox *m_beats;
};

} // namespace ui
