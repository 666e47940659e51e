#include "offthread.h"

#include <QThread>

namespace services
{

OffThread::OffThread() = default;

OffThread::~OffThread()
{
    if (m_thread)
        m_thread->wait();
}

void OffThread::run(std::function<void()> work, const QObject *context, std::function<void()> then)
{
    // Called from the sequel of the job before, whose thread has done its
    // work and is only returning: the wait is for that, no more.
    if (m_thread)
        m_thread->wait();
    m_thread.reset(QThread::create(std::move(work)));
    QObject::connect(m_thread.get(), &QThread::finished, context, std::move(then));
    m_thread->start();
}

} // namespace services
