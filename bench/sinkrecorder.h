#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace bench
{

// What the desktop's default sink plays, recorded off its monitor by
// PulseAudio's own recorder (parec), mono, at the given rate. Each piece is
// stamped with the monotonic clock as it arrives, which is at most the
// recorder's small fragment after the sink played it.
class SinkRecorder
{
public:
    explicit SinkRecorder(int sampleRate);
    ~SinkRecorder();
    SinkRecorder(const SinkRecorder &) = delete;
    SinkRecorder &operator=(const SinkRecorder &) = delete;

    // False when the recorder could not be started.
    bool start();
    // Returns once the first samples have come, or false after a while.
    bool waitForSound() const;
    // Ends the recording; the samples are complete from then on.
    void stop();

    const std::vector<float> &samples() const { return m_samples; }
    // When the sink played a recorded sample, on bench::monotonicNs(): its
    // piece's arrival, less the samples after it in the piece. Late by the
    // time the piece took to come, never early.
    long long playedNs(std::size_t sample) const;

private:
    void read(int fd);

    int m_rate;
    int m_pid = -1;
    std::thread m_reader;
    std::atomic<std::size_t> m_count {0};
    std::vector<float> m_samples;
    std::vector<std::pair<std::size_t, long long>> m_arrivals; // samples so far, and when
};

} // namespace bench
