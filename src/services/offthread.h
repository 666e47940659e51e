#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QThread;

namespace services
{

// Slow work on a thread of its own, then its sequel on the thread of a
// context object: the worker makes no object the GUI thread is to own, and
// the GUI thread never waits for the work. One job at a time: start the next
// from the sequel of the one before. The destructor waits for a job still
// running.
class OffThread
{
public:
    OffThread();
    ~OffThread();
    OffThread(const OffThread &) = delete;
    OffThread &operator=(const OffThread &) = delete;

    // then runs on context's thread once work has returned; not at all when
    // context is gone by then.
    void run(std::function<void()> work, const QObject *context, std::function<void()> then);

private:
    std::unique_ptr<QThread> m_thread;
};

} // namespace services
