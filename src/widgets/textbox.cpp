#include "textbox.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

#include <limits>

namespace widgets
{

namespace
{
bool isOwnUndo(const QKeyEvent *event)
{
    return event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo);
}
} // namespace

TextBox::TextBox(QWidget *parent)
    : QLineEdit(parent)
{
    setMaxLength(std::numeric_limits<int>::max());
    connect(this, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (!text.contains(u'\r') && !text.contains(u'\n'))
            return;
        QString oneLine = text;
        const int cursor = cursorPosition();
        const int removedBeforeCursor
            = oneLine.left(cursor).count(u'\r') + oneLine.left(cursor).count(u'\n');
        oneLine.remove(u'\r');
        oneLine.remove(u'\n');
        setText(oneLine);
        setCursorPosition(cursor - removedBeforeCursor);
    });
}

bool TextBox::isWindowKey(const QKeyEvent *event) const
{
    const QKeySequence pressed(event->keyCombination());
    return m_windowKeys.contains(pressed);
}

bool TextBox::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(event);
        // Not taken here: the window's shortcut gets the key.
        if (isWindowKey(key)) {
            key->ignore();
            return true;
        }
        // Insert edits the box, as Delete does, whatever the window makes of it.
        if (key->key() == Qt::Key_Insert && key->modifiers() == Qt::NoModifier) {
            key->accept();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void TextBox::keyPressEvent(QKeyEvent *event)
{
    if (isOwnUndo(event) || isWindowKey(event)) {
        event->ignore();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TextBox::contextMenuEvent(QContextMenuEvent *event)
{
    std::unique_ptr<QMenu> menu(createStandardContextMenu());
    for (QAction *item : menu->actions()) {
        if (item->objectName() == QLatin1String("edit-undo")
            || item->objectName() == QLatin1String("edit-redo"))
            menu->removeAction(item);
    }
    if (!menu->actions().isEmpty() && menu->actions().constFirst()->isSeparator())
        menu->removeAction(menu->actions().constFirst());
    menu->exec(event->globalPos());
}

} // namespace widgets
