#include "termination.h"

#include <QSocketNotifier>
#include <QtGlobal>

#include <array>
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace services
{

namespace
{
constexpr std::array WatchedSignals {SIGTERM, SIGINT, SIGHUP};

// The handler may touch nothing but these: [0] is read by the notifier, [1] is
// written by the handler.
int s_sockets[2] = {-1, -1};
struct sigaction s_previous[WatchedSignals.size()];

extern "C" void onTerminationSignal(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    // Non-blocking: when the socket is full a wake-up is already pending.
    [[maybe_unused]] const auto written = ::write(s_sockets[1], &byte, 1);
    errno = savedErrno;
}
} // namespace

TerminationWatcher::TerminationWatcher(QObject *parent)
    : QObject(parent)
{
    Q_ASSERT_X(s_sockets[0] == -1, "TerminationWatcher", "only one watcher at a time");
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, s_sockets) != 0) {
        qWarning("TerminationWatcher: socketpair failed: %s", qPrintable(qt_error_string(errno)));
        s_sockets[0] = s_sockets[1] = -1;
        return;
    }
    m_notifier = new QSocketNotifier(s_sockets[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationWatcher::drain);

    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < WatchedSignals.size(); ++i) {
        ::sigaction(WatchedSignals[i], &action, &s_previous[i]);
    }
}

TerminationWatcher::~TerminationWatcher()
{
    if (s_sockets[0] == -1) {
        return;
    }
    for (std::size_t i = 0; i < WatchedSignals.size(); ++i) {
        ::sigaction(WatchedSignals[i], &s_previous[i], nullptr);
    }
    delete m_notifier; // before its socket is closed
    ::close(s_sockets[0]);
    ::close(s_sockets[1]);
    s_sockets[0] = s_sockets[1] = -1;
}

void TerminationWatcher::drain()
{
    // Several signals before the loop runs ask for one termination.
    char buffer[64];
    while (::read(s_sockets[0], buffer, sizeof buffer) > 0) { }
    emit terminationRequested();
}

} // namespace services
