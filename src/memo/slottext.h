#pragma once

#include <QByteArray>
#include <QString>

#include <string_view>

namespace memo
{

// One text of a slot: the text shown to the user and the exact bytes it is
// kept as in the slot file, in the system's locale encoding. A slot that was
// never changed is written back byte for byte, even when its bytes are not
// valid in that encoding or hold a NUL.
class SlotText
{
public:
    SlotText() = default;

    // A text read from the file; the bytes must hold no CR or LF.
    static SlotText fromBytes(const QByteArray &bytes);
    // A text the program spells itself, such as a chord name: ASCII, so its
    // bytes are the same in whatever encoding the system uses.
    static SlotText fromAscii(std::string_view text);

    const QString &text() const { return m_text; }
    const QByteArray &bytes() const { return m_bytes; }

    // Keeps the current bytes when the text is unchanged; otherwise encodes
    // the new text, leaving out any CR or LF so it stays one line in the file.
    void setText(const QString &text);

private:
    QString m_text;
    QByteArray m_bytes;
};

} // namespace memo
