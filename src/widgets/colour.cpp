#include "colour.h"

#include <QWidget>
#include <QtGlobal>

#include <algorithm>

namespace widgets
{

std::optional<QColor> parseHexColour(QStringView text)
{
    constexpr int Digits = 6;
    if (text.size() != 2 + Digits || text[0] != u'&' || (text[1] != u'h' && text[1] != u'H'))
        return std::nullopt;
    const QStringView digits = text.mid(2);
    const auto isHexDigit = [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    };
    if (!std::all_of(digits.begin(), digits.end(), isHexDigit))
        return std::nullopt;
    bool ok = false;
    const uint value = digits.toUInt(&ok, 16);
    if (!ok)
        return std::nullopt;
    return QColor(value & 0xff, (value >> 8) & 0xff, (value >> 16) & 0xff);
}

QColor hexColour(QStringView text)
{
    const auto colour = parseHexColour(text);
    if (!colour)
        qFatal("malformed colour constant %s", qPrintable(text.toString()));
    return *colour;
}

QColor hexColour(std::string_view text)
{
    return hexColour(QString::fromLatin1(text.data(), qsizetype(text.size())));
}

void setBackColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    if (widget->autoFillBackground() && palette.color(QPalette::Window) == colour)
        return;
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace widgets
