#include "textbox.h"

#include <limits>

namespace widgets
{

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

} // namespace widgets
