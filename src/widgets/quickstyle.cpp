#include "quickstyle.h"

#include <QFile>
#include <QGuiApplication>
#include <QIconEngine>
#include <QImageReader>
#include <QPixmap>
#include <QStyleOption>

#include <utility>

namespace widgets
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

// The arrow shows only when the menus overflow the bar, which this window's
// never do: its pictures are decoded the first time it is drawn, not while
// the menu bar is made.
class PngOnFirstUse : public QIconEngine
{
public:
    explicit PngOnFirstUse(QString pattern)
        : m_pattern(std::move(pattern))
    {
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    QIconEngine *clone() const override { return new PngOnFirstUse(m_pattern); }

private:
    const QIcon &icon()
    {
        if (!m_decoded) {
            m_icon = pngIcon(m_pattern);
            m_decoded = true;
        }
        return m_icon;
    }

    QString m_pattern;
    QIcon m_icon;
    bool m_decoded = false;
};
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
        // The direction as Qt's own styles take it: the option's, else the program's.
        const bool rightToLeft
            = (option ? option->direction : QGuiApplication::layoutDirection()) == Qt::RightToLeft;
        const QString pattern
            = QStringLiteral(":/qt-project.org/styles/commonstyle/images/toolbar-ext-")
            + (horizontal ? (rightToLeft ? QStringLiteral("h-rtl-") : QStringLiteral("h-"))
                          : QStringLiteral("v-"))
            + QStringLiteral("%1.png");
        if (QFile::exists(pattern.arg(ArrowSides[0])))
            return QIcon(new PngOnFirstUse(pattern));
    }
    return QProxyStyle::standardIcon(icon, option, widget);
}

} // namespace widgets
