#pragma once

#include "chordmemo.h"

#include <QStringList>

#include <span>

namespace widgets
{
class ClickLabel;
}

namespace ui
{

// How the memo's boxes show their chords: the name, or its degree in the
// key when degrees are asked for; a tooltip and description that say why a
// name is unknown and what its degree is; an unknown name told apart by a
// dashed edge and italic letters, more than by colour.
class BoxLook
{
public:
    BoxLook(const memo::ChordMemo &memo, std::span<widgets::ClickLabel *const> boxes);

    // The box shows name (or its degree) and the note its memo chord has.
    void show(int box, const QString &name);
    // The note of the chord the memo holds in the box, after a store.
    void showNote(int box);
    // Each box's degree line for its tooltip, and what to show in place of
    // the names (empty: the names); every box is shown anew.
    void showDegrees(const QStringList &lines, const QStringList &captions);

private:
    QString note(int box) const;

    const memo::ChordMemo &m_memo;
    std::span<widgets::ClickLabel *const> m_boxes;
    QStringList m_degreeLines;
    QStringList m_degreeCaptions;
};

} // namespace ui
