#include "lightpalette.h"

#include <QApplication>
#include <QEvent>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>

#include <memory>

namespace widgets
{

namespace
{

// Every colour of every group set, so that none of the desktop's shows through.
QPalette fullySet(QPalette palette)
{
    for (int g = 0; g < QPalette::NColorGroups; ++g) {
        for (int r = 0; r < QPalette::NColorRoles; ++r) {
            const auto group = QPalette::ColorGroup(g);
            const auto role = QPalette::ColorRole(r);
            palette.setBrush(group, role, palette.brush(group, role));
        }
    }
    return palette;
}

bool opensFrom(const QWidget *popup, const QWidget *window)
{
    for (const QWidget *w = popup->parentWidget(); w; w = w->parentWidget()) {
        if (w == window)
            return true;
    }
    return false;
}

// A window of the window's own (a menu, a text box's context menu, a dialog)
// takes the light palette as it is polished, just before it first shows.
class PaletteKeeper : public QObject
{
public:
    explicit PaletteKeeper(QWidget *window)
        : QObject(window)
        , m_window(window)
    {
        qApp->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Polish && watched->isWidgetType()) {
            auto *widget = static_cast<QWidget *>(watched);
            if (widget->isWindow() && opensFrom(widget, m_window))
                widget->setPalette(m_window->palette());
        }
        return false;
    }

private:
    QWidget *m_window;
};

} // namespace

QPalette lightPalette()
{
    // Qt's own light scheme: black text on light grey, white text boxes.
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    return fullySet(fusion->standardPalette());
}

void keepLightPalette(QWidget *window)
{
    window->setPalette(lightPalette());
    new PaletteKeeper(window);
}

} // namespace widgets
