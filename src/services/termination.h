#pragma once

#include <QObject>

class QSocketNotifier;

namespace services
{

// Turns SIGTERM, SIGINT and SIGHUP into terminationRequested() on the event
// loop, so that the program can close as it does on its exit command. The
// signal handler only writes a byte to a socket pair; the notifier reads it.
// One watcher at a time; its destructor restores the previous handlers.
class TerminationWatcher : public QObject
{
    Q_OBJECT
public:
    explicit TerminationWatcher(QObject *parent = nullptr);
    ~TerminationWatcher() override;

signals:
    void terminationRequested();

private:
    void drain();

    QSocketNotifier *m_notifier = nullptr;
};

} // namespace services
