#pragma once

#include <QStringList>

#include <span>

class QLabel;

namespace widgets
{
class ClickLabel;
}

namespace ui
{
class ChordBoxes;

// How the boxes show their chords: the name, or its degree in the key when
// degrees are asked for; a tooltip and description that say why a name is
// unknown, what its degree is, and in a song how long it lasts and which
// section it begins; an unknown name told apart by a dashed edge and italic
// letters, more than by colour; a length other than a bar and a section's
// name as small marks at the box's right end.
class BoxLook
{
public:
    BoxLook(const ChordBoxes &chords, std::span<widgets::ClickLabel *const> boxes);
    // The box shows name (or its degree) and the note its chord has.
    void show(int box, const QString &name);
    // The note and marks of the chord the box holds, after a store.
    void showNote(int box);
    // Each box's degree line for its tooltip, and what to show in place of
    // the names (empty: the names); every box is shown anew.
    void showDegrees(const QStringList &lines, const QStringList &captions);

private:
    QString note(int box) const;
    // The length's and the section's marks, made the first time one shows.
    void showMarks(int box, const QString &length, const QString &section);

    const ChordBoxes &m_chords;
    std::span<widgets::ClickLabel *const> m_boxes;
    QStringList m_degreeLines;
    QStringList m_degreeCaptions;
};

// "2 拍", "2 小節"; empty for a whole bar.
QString lengthMark(int beats, int beatsPerBar);

} // namespace ui
