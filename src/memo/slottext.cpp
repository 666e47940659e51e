#include "slottext.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace memo
{

namespace
{
// Stateless: each line stands alone, and a sequence cut short at its end
// decodes to a replacement character instead of vanishing.
constexpr auto ConverterFlags = QStringConverter::Flag::Stateless;
} // namespace

SlotText SlotText::fromBytes(const QByteArray &bytes)
{
    Q_ASSERT(!bytes.contains('\r') && !bytes.contains('\n'));
    SlotText slotText;
    slotText.m_text = QStringDecoder(QStringConverter::System, ConverterFlags).decode(bytes);
    slotText.m_bytes = bytes;
    return slotText;
}

SlotText SlotText::fromAscii(std::string_view text)
{
    SlotText slotText;
    slotText.m_bytes = QByteArray(text.data(), qsizetype(text.size()));
    slotText.m_text = QString::fromLatin1(slotText.m_bytes);
    return slotText;
}

void SlotText::setText(const QString &text)
{
    if (text == m_text) {
        return;
    }
    m_text = text;
    QString oneLine = text;
    oneLine.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    m_bytes = QStringEncoder(QStringConverter::System, ConverterFlags).encode(oneLine);
}

} // namespace memo
