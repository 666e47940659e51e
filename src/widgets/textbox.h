#pragma once

#include <QLineEdit>

namespace widgets
{

// A one-line text box. It holds texts of any length, so a long memo entry
// survives a round trip through it, and it never takes a line break, not
// even from a paste: a chord text must stay on its line of the slot file.
class TextBox : public QLineEdit
{
    Q_OBJECT
public:
    explicit TextBox(QWidget *parent = nullptr);
};

} // namespace widgets
