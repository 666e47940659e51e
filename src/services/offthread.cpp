#include "offthread.h"

#include <QThread>

namespace services
{

OffThread::OffThread() = default;

OffThread::~OffThread()
{
    m_waiting.clear();
    if (m_thread)
        m_thread->wait();
}

void OffThread::run(std::function<void()> work, const QObject *context, std::function<void()> then)
{
    m_waiting.push_back({std::move(work), context, std::move(then)});
    if (!m_thread)
        startNext();
}

void OffThread::startNext()
{
    while (!m_waiting.empty()) {
        Job job = std::move(m_waiting.front());
        m_waiting.pop_front();
        // Its work may use the context, which is gone: the job is no more.
        if (!job.context)
            continue;
        m_thread.reset(QThread::create(std::move(job.work)));
        QObject::connect(m_thread.get(), &QThread::finished, job.context, std::move(job.then));
        QObject::connect(m_thread.get(), &QThread::finished, &m_turns, [this] {
            // The thread is only returning now: deleted later, as Qt lets it
            // finish without anyone waiting for it here.
            m_thread.release()->deleteLater();
            startNext();
        });
        m_thread->start();
        return;
    }
}

} // namespace services
