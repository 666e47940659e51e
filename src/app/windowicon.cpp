#include "windowicon.h"

#include <QIcon>

namespace app
{

QIcon windowIcon()
{
    QIcon icon;
    // addFile with a size reads nothing until a window system asks for it.
    for (const int side : {SORAMINA_ICON_SIZES}) {
        const QString name = QStringLiteral(":/icons/%1.png").arg(side);
        icon.addFile(name, {side, side});
    }
    return icon;
}

} // namespace app
