#include "quickstyle.h"

#include <QGuiApplication>
#include <QImageReader>
#include <QPixmap>
#include <QWidget>

namespace platform
{

namespace
{
// Qt's own pictures of the overflow arrows, at the sizes it offers.
constexpr int ArrowSides[] = {16, 32};

QIcon pngIcon(const QString &pattern)
{
    QIcon icon;
    for (const int side : ArrowSides) {
        QImageReader reader(pattern.arg(side), "png");
        reader.setAutoDetectImageFormat(false);
        const QImage image = reader.read();
        if (image.isNull())
            return {};
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}
} // namespace

QuickStyle::QuickStyle(QStyle *base)
    : QProxyStyle(base)
{
}

QIcon QuickStyle::standardIcon(
    StandardPixmap icon, const QStyleOption *option, const QWidget *widget) const
{
    if (icon == SP_ToolBarHorizontalExtensionButton || icon == SP_ToolBarVerticalExtensionButton) {
        const bool horizontal = icon == SP_ToolBarHorizontalExtensionButton;
        const bool rightToLeft
            = (widget ? widget->layoutDirection() : QGuiApplication::layoutDirection())
            == Qt::RightToLeft;
        const QString pattern
            = QStringLiteral(":/qt-project.org/styles/commonstyle/images/toolbar-ext-")
            + (horizontal ? (rightToLeft ? QStringLiteral("h-rtl-") : QStringLiteral("h-"))
                          : QStringLiteral("v-"))
            + QStringLiteral("%1.png");
        const QIcon arrow = pngIcon(pattern);
        if (!arrow.isNull())
            return arrow;
    }
    return QProxyStyle::standardIcon(icon, option, widget);
}

} // namespace platform
