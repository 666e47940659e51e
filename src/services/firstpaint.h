#pragma once

#include <QObject>

#include <functional>

class QWidget;

namespace services
{

// Runs work that the first look of a window does not need once that window
// has been painted for the first time, so start-up does not wait for it.
class AfterFirstPaint : public QObject
{
public:
    AfterFirstPaint(QWidget *window, std::function<void()> work);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void()> m_work;
};

} // namespace services
