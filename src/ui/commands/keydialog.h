#pragma once

#include "keyfinding.h"
#include "songsettings.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QRadioButton;
class QSpinBox;

namespace ui
{

// Asks the song's key and capo: 自動, the key found from the chords (shown
// with how sure the finding is), or one of the 24 keys; and the capo's fret.
class KeyDialog : public QDialog
{
    Q_OBJECT
public:
    KeyDialog(const song::SongSettings &now, const std::optional<chord::FoundKey> &found,
        QWidget *parent = nullptr);

    // now, with the key (none for 自動) and the capo chosen here.
    song::SongSettings chosen() const;

private:
    song::SongSettings m_now;
    QRadioButton *m_auto;
    QRadioButton *m_fixed;
    QComboBox *m_key;
    QSpinBox *m_capo;
};

} // namespace ui
