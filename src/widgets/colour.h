#pragma once

#include <QColor>
#include <QStringView>

#include <optional>
#include <string_view>

class QWidget;

// Colours are written "&h" + blue, green and red bytes in hex, red in the
// low byte: "&hff8080" is a light blue.
namespace widgets
{

// Nothing when the text is not "&h" (or "&H") followed by six hex digits.
std::optional<QColor> parseHexColour(QStringView text);

// For the program's own colour constants: a malformed one is a programming
// error and stops the program at once rather than painting black.
QColor hexColour(QStringView text);
// The same for a constant kept as bytes ("&hff8080").
QColor hexColour(std::string_view text);

// Paints a widget's background opaquely in the given colour.
void setBackColour(QWidget *widget, const QColor &colour);

} // namespace widgets
