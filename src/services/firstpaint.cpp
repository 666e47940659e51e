#include "firstpaint.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace services
{

AfterFirstPaint::AfterFirstPaint(QWidget *window, std::function<void()> work)
    : QObject(window)
    , m_work(std::move(work))
{
    window->installEventFilter(this);
}

bool AfterFirstPaint::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint) {
        watched->removeEventFilter(this);
        // Queued: the paint in progress finishes and reaches the screen first.
        QTimer::singleShot(0, this, [this] {
            m_work();
            deleteLater();
        });
    }
    return false;
}

} // namespace services
