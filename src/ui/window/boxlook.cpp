#include "boxlook.h"

#include "chordboxes.h"
#include "clicklabel.h"
#include "colour.h"
#include "form1layout.h"
#include "song.h"
#include "typinghint.h"

#include <QLabel>

namespace ui
{

namespace
{
constexpr int MarkPointSize = 7; // two marks, one above the other, fit a box's height
constexpr char LengthMarkName[] = "lengthmark";
constexpr char SectionMarkName[] = "sectionmark";

// A mark of the box, made the first time it shows: the length inside the
// box, the section's name astride its top edge, over the gap between rows.
QLabel *markOf(QWidget *box, int index, const char *name, bool create)
{
    const bool section = std::string_view(name) == SectionMarkName;
    QWidget *parent = section ? box->parentWidget() : box;
    const QString markName = QLatin1String(name) + QString::number(index);
    auto *mark = parent->findChild<QLabel *>(markName, Qt::FindDirectChildrenOnly);
    if (mark || !create)
        return mark;
    mark = new QLabel(parent);
    mark->setObjectName(markName);
    QFont font = box->font();
    font.setPointSize(MarkPointSize);
    font.setItalic(false);
    mark->setFont(font);
    mark->setAttribute(Qt::WA_TransparentForMouseEvents);
    mark->setAutoFillBackground(section);
    mark->setContentsMargins(section ? 2 : 0, 0, section ? 2 : 0, 0);
    QPalette palette = mark->palette();
    palette.setColor(QPalette::Window, widgets::hexColour(layout::SectionMarkColour));
    palette.setColor(
        QPalette::WindowText, section ? Qt::white : widgets::hexColour(layout::LengthMarkTextColour));
    mark->setPalette(palette);
    return mark;
}
} // namespace

QString lengthMark(int beats, int beatsPerBar)
{
    if (beats <= 0 || beats == beatsPerBar)
        return {};
    return song::lengthName(beats, beatsPerBar);
}

BoxLook::BoxLook(const ChordBoxes &chords, std::span<widgets::ClickLabel *const> boxes)
    : m_chords(chords)
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
    const memo::ChordText chord = m_chords.text(box);
    return QString::fromStdString(
        chord::unknownChordNote(chord.root.toStdString(), chord.kind.toStdString()));
}

void BoxLook::showNote(int box)
{
    const QString why = note(box);
    const QString length = lengthMark(m_chords.beatsOf(box), m_chords.beatsPerBar());
    const QString section = m_chords.sectionOf(box);
    QStringList lines {why, m_degreeLines.value(box),
        length.isEmpty() ? QString() : QStringLiteral("長さ: %1").arg(length),
        section.isEmpty() ? QString() : QStringLiteral("セクション: %1").arg(section)};
    lines.removeAll(QString());
    const QString tip = lines.join(u'\n');
    widgets::ClickLabel *label = m_boxes[box];
    label->setToolTip(tip);
    label->setAccessibleDescription(tip);
    const bool unknown = !why.isEmpty();
    static const QColor edge = widgets::hexColour(layout::UnknownSlotEdgeColour);
    label->setDashedEdge(unknown ? edge : QColor());
    QFont font = label->font();
    if (font.italic() != unknown) {
        font.setItalic(unknown);
        label->setFont(font);
    }
    if (box < memo::MemoSlotCount) // the hidden box has none
        showMarks(box, length, section);
}

void BoxLook::showMarks(int box, const QString &length, const QString &section)
{
    widgets::ClickLabel *label = m_boxes[box];
    if (QLabel *mark = markOf(label, box, LengthMarkName, !length.isEmpty())) {
        mark->setText(length);
        mark->adjustSize();
        mark->move(label->width() - mark->width() - 2, (label->height() - mark->height()) / 2);
        mark->setVisible(!length.isEmpty());
    }
    if (QLabel *mark = markOf(label, box, SectionMarkName, !section.isEmpty())) {
        mark->setText(section);
        mark->adjustSize();
        mark->resize(std::min(mark->width(), label->width() - 2), mark->height());
        const QRect edge = label->geometry();
        mark->move(edge.left() + 1, edge.top() - mark->height() + 4);
        mark->setVisible(!section.isEmpty());
        // Just over its box, and under whatever lies over the boxes (the About panel).
        mark->stackUnder(label);
        label->stackUnder(mark);
    }
}

void BoxLook::showDegrees(const QStringList &lines, const QStringList &captions)
{
    m_degreeLines = lines;
    m_degreeCaptions = captions;
    for (int k = 0; k < int(m_boxes.size()); ++k) {
        const memo::ChordText chord = m_chords.text(k);
        show(k, chord.root + chord.kind);
    }
}

} // namespace ui
