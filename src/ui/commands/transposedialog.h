#pragma once

#include "transpose.h"

#include <QDialog>

class QButtonGroup;
class QSpinBox;

namespace ui
{

// Asks how far to move the whole memo: semitones from -11 to +11 in a spin
// box, and the spelling of black keys: 自動 (sharps up, flats down), ♯ or ♭.
class TransposeDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TransposeDialog(QWidget *parent = nullptr);

    int semitones() const;
    chord::Spelling spelling() const;

private:
    QSpinBox *m_semitones;
    QButtonGroup *m_spelling;
};

// The history's name of a transposition: "移調 +2", "移調 -1 ♭".
QString transposeLabel(int semitones, chord::Spelling spelling);

} // namespace ui
