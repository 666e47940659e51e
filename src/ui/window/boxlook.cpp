#include "boxlook.h"

#include "clicklabel.h"
#include "colour.h"
#include "form1layout.h"
#include "typinghint.h"

namespace ui
{

BoxLook::BoxLook(const memo::ChordMemo &memo, std::span<widgets::ClickLabel *const> boxes)
    : m_memo(memo)
    , m_boxes(boxes)
{
}

void BoxLook::show(int box, const QString &name)
{
    const QString degree = m_degreeCaptions.value(box);
    m_boxes[box]->setText(degree.isEmpty() ? name : degree);
    showNote(box);
}

QString BoxLook::note(int box) const
{
    const memo::ChordText chord = m_memo.fetch(box);
    return QString::fromStdString(
        chord::unknownChordNote(chord.root.toStdString(), chord.kind.toStdString()));
}

void BoxLook::showNote(int box)
{
    const QString why = note(box);
    QStringList lines {why, m_degreeLines.value(box)};
    lines.removeAll(QString());
    const QString tip = lines.join(u'\n');
    widgets::ClickLabel *label = m_boxes[box];
    label->setToolTip(tip);
    label->setAccessibleDescription(tip);
    const bool unknown = !why.isEmpty();
    static const QColor edge = widgets::hexColour(QString::fromLatin1(
        layout::UnknownSlotEdgeColour.data(), qsizetype(layout::UnknownSlotEdgeColour.size())));
    label->setDashedEdge(unknown ? edge : QColor());
    QFont font = label->font();
    if (font.italic() != unknown) {
        font.setItalic(unknown);
        label->setFont(font);
    }
}

void BoxLook::showDegrees(const QStringList &lines, const QStringList &captions)
{
    m_degreeLines = lines;
    m_degreeCaptions = captions;
    for (int k = 0; k < int(m_boxes.size()); ++k) {
        const memo::ChordText chord = m_memo.fetch(k);
        show(k, chord.root + chord.kind);
    }
}

} // namespace ui
