#include "windowicon.h"

#include <QIcon>
#include <QImageReader>
#include <QPixmap>

namespace app
{

QIcon windowIcon()
{
    QIcon icon;
    for (const int side : {SORAMINA_ICON_SIZES}) {
        // Named as PNG with no guessing: a reader left to guess would load
        // every image-format plugin, the SVG one among them, to ask each.
        QImageReader reader(QStringLiteral(":/icons/%1.png").arg(side), "png");
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    return icon;
}

} // namespace app
