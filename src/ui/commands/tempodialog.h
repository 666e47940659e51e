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

    // now, with the tempo and beats chosen here.
    song::SongSettings chosen() const;

private:
    song::SongSettings m_now;
    QSpinBox *m_tempo;
    QSpinBox *m_beats;
};

} // namespace ui
