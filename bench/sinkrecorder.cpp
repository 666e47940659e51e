#include "sinkrecorder.h"

#include "startupreport.h"

#include <QByteArray>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace bench
{

namespace
{
// Short fragments: each arrives soon after the sink plays it.
constexpr const char *FragmentMs = "2";
constexpr int FirstSoundTimeoutMs = 3000;
constexpr std::size_t ReadBytes = 4096;
} // namespace

SinkRecorder::SinkRecorder(int sampleRate)
    : m_rate(sampleRate)
{
}

SinkRecorder::~SinkRecorder()
{
    stop();
}

bool SinkRecorder::start()
{
    int fds[2];
    if (pipe(fds) != 0)
        return false;
    const QByteArray rate = "--rate=" + QByteArray::number(m_rate);
    const QByteArray latency = QByteArray("--latency-msec=") + FragmentMs;
    const char *argv[] {"parec", "--device=@DEFAULT_MONITOR@", "--raw", "--format=float32le",
        "--channels=1", rate.constData(), latency.constData(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    const int spawned
        = posix_spawnp(&m_pid, "parec", &actions, nullptr, const_cast<char **>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        m_pid = -1;
        close(fds[0]);
        return false;
    }
    m_reader = std::thread([this, fd = fds[0]] { read(fd); });
    return true;
}

bool SinkRecorder::waitForSound() const
{
    const auto deadline
        = std::chrono::steady_clock::now() + std::chrono::milliseconds(FirstSoundTimeoutMs);
    while (m_count.load() == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return m_count.load() > 0;
}

void SinkRecorder::stop()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
    if (m_reader.joinable())
        m_reader.join();
}

long long SinkRecorder::playedNs(std::size_t sample) const
{
    const auto arrived = std::upper_bound(m_arrivals.begin(), m_arrivals.end(), sample,
        [](std::size_t s, const auto &arrival) { return s < arrival.first; });
    if (arrived == m_arrivals.end())
        return -1;
    return arrived->second - (long long)(arrived->first - sample) * 1'000'000'000LL / m_rate;
}

// Whole samples only: a read may end inside one.
void SinkRecorder::read(int fd)
{
    std::vector<char> pending;
    char buffer[ReadBytes];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0)
            break;
        const long long now = monotonicNs();
        pending.insert(pending.end(), buffer, buffer + got);
        const std::size_t whole = pending.size() / sizeof(float);
        const std::size_t first = m_samples.size();
        m_samples.resize(first + whole);
        std::memcpy(m_samples.data() + first, pending.data(), whole * sizeof(float));
        pending.erase(pending.begin(), pending.begin() + std::ptrdiff_t(whole * sizeof(float)));
        m_arrivals.emplace_back(m_samples.size(), now);
        m_count.store(m_samples.size());
    }
    close(fd);
}

} // namespace bench
