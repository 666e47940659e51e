#pragma once

#include <QObject>
#include <QPointer>

#include <deque>
#include <functional>
#include <memory>

class QThread;

namespace services
{

// Slow work on a thread of its own, then its sequel on the thread of a
// context object: the worker makes no object the GUI thread is to own, and
// the GUI thread never waits for the work. One job at a time: a job asked for
// while another runs waits its turn, behind any sequel's own next job that
// was asked for before it. The destructor waits for a job still running and
// drops those still waiting.
class OffThread
{
public:
    OffThread();
    ~OffThread();
    OffThread(const OffThread &) = delete;
    OffThread &operator=(const OffThread &) = delete;

    // then runs on context's thread once work has returned; not at all when
    // context is gone by then. Neither runs when context is gone before the
    // job's turn comes. Returns at once.
    void run(std::function<void()> work, const QObject *context, std::function<void()> then);

private:
    struct Job {
        std::function<void()> work;
        QPointer<const QObject> context;
        std::function<void()> then;
    };
    void startNext();

    QObject m_turns; // on the thread that made this: hears each job end
    std::deque<Job> m_waiting;
    std::unique_ptr<QThread> m_thread; // the job running, if any
};

} // namespace services
