#include "keyboardpick.h"

#include "colour.h"
#include "focusframe.h"
#include "form1layout.h"
#include "keyboardgeometry.h"
#include "shapewidget.h"
#include "twips.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QShortcut>

namespace ui
{

namespace
{
// Beside the chord-name line, above the keyboard, where the layout leaves room.
constexpr widgets::TwipsRect NamesLineRect {2640, 3600, 4200, 240};
const QString OtherNames = QStringLiteral("ほかの名前: %1");
const QString NamesSeparator = QStringLiteral(", ");
const QString NoName = QStringLiteral("名前なし");

// The selected memo box's light blue on a white key, a deeper blue on a black one.
constexpr std::string_view PickedWhiteColour = layout::SelectedSlotColour;
constexpr std::string_view PickedBlackColour = "&hc04000";
constexpr Qt::GlobalColor CursorOnWhite = Qt::black;
constexpr Qt::GlobalColor CursorOnBlack = Qt::white;

using widgets::TwipsPerPixel;

bool isBlack(int semitone)
{
    return chord::blackKeyIndex(semitone) >= 0;
}

// A white key's colour spans its edge lines, which stand in front of it.
widgets::TwipsRect markRect(int semitone)
{
    const chord::KeyOutline k = chord::keyOutline(semitone);
    if (isBlack(semitone))
        return {k.left, k.top, k.width, k.height};
    return {k.left, k.top, k.width + TwipsPerPixel, k.height + TwipsPerPixel};
}

// On a white key, its part below the black keys, where its marker sits.
widgets::TwipsRect cursorRect(int semitone)
{
    const chord::KeyOutline k = chord::keyOutline(semitone);
    if (isBlack(semitone))
        return {k.left, k.top, k.width, k.height};
    const int top = chord::KeyboardTop + chord::BlackKeyHeight;
    return {k.left, top, k.width + TwipsPerPixel, k.top + k.height - top + TwipsPerPixel};
}

QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}
} // namespace

KeyboardPick::KeyboardPick(const Controls &controls, QObject *parent)
    : QObject(parent)
    , m_controls(controls)
{
    QWidget *keyboard = m_controls.keyboard;
    // The keys, lines and markers in front of it let the mouse through to it.
    keyboard->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    keyboard->setFocusPolicy(Qt::TabFocus);
    keyboard->installEventFilter(this);
}

std::optional<chord::ChordName> KeyboardPick::chordName() const
{
    if (m_names.empty())
        return std::nullopt;
    return m_names.front();
}

void KeyboardPick::toggle(int semitone)
{
    m_pick.toggle(semitone);
    m_names = m_pick.names();
    showMark(semitone, m_pick.isPicked(semitone));
    if (!m_escape)
        m_escape = new QShortcut(QKeySequence(Qt::Key_Escape), m_controls.keyboard, this,
            &KeyboardPick::clear, Qt::WindowShortcut);
    m_escape->setEnabled(!m_pick.isEmpty());
    if (m_cursor && semitone == m_cursorKey)
        m_cursor->setChecked(m_pick.isPicked(semitone));

    QString line;
    if (!m_pick.isEmpty() && m_names.empty())
        line = NoName;
    else if (m_names.size() > 1) {
        QStringList others;
        for (auto name = m_names.cbegin() + 1; name != m_names.cend(); ++name)
            others << qs(name->root) + qs(name->kind);
        line = OtherNames.arg(others.join(NamesSeparator));
    }
    setLine(line);
    emit toggled(semitone);
}

void KeyboardPick::clear()
{
    if (m_pick.isEmpty())
        return;
    for (const int key : m_pick.notes())
        showMark(key, false);
    m_pick.clear();
    m_names.clear();
    m_escape->setEnabled(false);
    if (m_cursor)
        m_cursor->setChecked(false);
    setLine({});
}

void KeyboardPick::showMark(int semitone, bool shown)
{
    widgets::ShapeWidget *&mark = m_marks[std::size_t(semitone)];
    if (!mark && !shown)
        return;
    if (!mark) {
        mark = new widgets::ShapeWidget(
            widgets::ShapeWidget::Form::Rectangle, m_controls.keyboard->parentWidget());
        mark->setObjectName(QStringLiteral("pick(%1)").arg(semitone));
        widgets::placeInTwips(mark, markRect(semitone));
        mark->setFill(
            widgets::hexColour(qs(isBlack(semitone) ? PickedBlackColour : PickedWhiteColour)));
        mark->stackUnder(isBlack(semitone) ? m_controls.backMarker : m_controls.firstLine);
    }
    mark->setVisible(shown);
}

void KeyboardPick::setLine(const QString &text)
{
    if (text == m_lineText)
        return;
    m_lineText = text;
    if (!m_line) {
        m_line = new QLabel(m_controls.keyboard->parentWidget());
        m_line->setObjectName(QStringLiteral("lblothernames"));
        widgets::placeInTwips(m_line, NamesLineRect);
        m_line->setTextFormat(Qt::PlainText);
        m_line->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        m_line->lower(); // behind the error label, as the chord-name line is
    }
    m_line->setText(text);
    m_line->setVisible(!text.isEmpty());
    emit namesLineChanged(text);
}

void KeyboardPick::buildCursor()
{
    m_cursor = new widgets::FocusFrame(m_controls.keyboard->parentWidget());
    m_cursor->setObjectName(QStringLiteral("keycursor"));
    m_cursor->stackUnder(m_controls.errorLabel);
    m_cursor->setEnabled(m_controls.keyboard->isEnabled());
    m_cursor->installEventFilter(this);
    connect(m_cursor, &widgets::FocusFrame::clicked, this, [this] { toggle(m_cursorKey); });
    moveCursor(m_cursorKey);
    m_cursor->show();
    // The cursor takes the keyboard's place in the Tab order.
    QWidget::setTabOrder(m_controls.keyboard, m_cursor);
    m_controls.keyboard->setFocusPolicy(Qt::NoFocus);
}

void KeyboardPick::moveCursor(int semitone)
{
    if (semitone < 0 || semitone >= chord::KeyboardKeys)
        return;
    m_cursorKey = semitone;
    widgets::placeInTwips(m_cursor, cursorRect(semitone));
    m_cursor->setFrameColour(isBlack(semitone) ? CursorOnBlack : CursorOnWhite);
    m_cursor->setChecked(m_pick.isPicked(semitone));
    m_cursor->setAccessibleName(QString::fromStdString(chord::keyNoteName(semitone)));
}

bool KeyboardPick::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_cursor) {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() != Qt::NoModifier)
            return false;
        if (key->key() == Qt::Key_Left || key->key() == Qt::Key_Right) {
            moveCursor(m_cursorKey + (key->key() == Qt::Key_Left ? -1 : 1));
            return true;
        }
        return false;
    }

    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        const widgets::TwipsRect origin = widgets::twipsGeometry(m_controls.keyboard);
        const QPoint at = mouse->position().toPoint();
        const int key = chord::keyAt(
            origin.left + at.x() * TwipsPerPixel, origin.top + at.y() * TwipsPerPixel);
        if (key >= 0)
            toggle(key);
        return true;
    }
    case QEvent::FocusIn:
        if (!m_cursor)
            buildCursor();
        m_cursor->setFocus(static_cast<QFocusEvent *>(event)->reason());
        return false;
    case QEvent::EnabledChange:
        if (m_cursor)
            m_cursor->setEnabled(m_controls.keyboard->isEnabled());
        return false;
    default: return false;
    }
}

} // namespace ui
