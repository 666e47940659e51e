#pragma once

#include "chordplayer.h"

#include <QElapsedTimer>
#include <QStringList>
#include <QThread>

#include <memory>
#include <vector>

// An output that writes down what it is asked to play ("on 48", "off 48",
// "program 24") and when, in milliseconds since the log began.
struct OutputLog {
    QStringList events;
    QList<qint64> times;
    QElapsedTimer clock;
    int opened = 0;
    std::int64_t frames = 0; // the output's sample clock
    std::vector<sound::TimedNote> timed; // scheduled and not cancelled

    void add(const QString &event)
    {
        events << event;
        times << clock.elapsed();
    }
};

class FakeOutput final : public sound::SoundOutput
{
public:
    explicit FakeOutput(std::shared_ptr<OutputLog> log)
        : m_log(std::move(log))
    {
    }
    QString open(sound::Target, const QString &) override { return {}; }
    int sampleRate() const override { return 44100; }
    void selectProgram(int program) override
    {
        m_log->add(QStringLiteral("program %1").arg(program));
    }
    void noteOn(int note, int) override { m_log->add(QStringLiteral("on %1").arg(note)); }
    void noteOff(int note) override { m_log->add(QStringLiteral("off %1").arg(note)); }
    void render(std::span<float>, std::span<float>) override { }

    // The sample clock stands still until a test moves it.
    std::int64_t framesPlayed() const override { return m_log->frames; }
    void schedule(std::span<const sound::TimedNote> notes) override
    {
        m_log->timed.insert(m_log->timed.end(), notes.begin(), notes.end());
    }
    void cancelScheduled() override
    {
        std::erase_if(m_log->timed, [this](const sound::TimedNote &n) { return n.frame > m_log->frames; });
        m_log->add(QStringLiteral("cancel"));
    }

private:
    std::shared_ptr<OutputLog> m_log;
};

// A player on a fake output whose module loads in openMs, or fails to with
// the reason given.
inline std::unique_ptr<sound::ChordPlayer> fakePlayer(
    const std::shared_ptr<OutputLog> &log, int openMs = 0, const QString &failure = {})
{
    log->clock.start();
    return std::make_unique<sound::ChordPlayer>(sound::Opener {
        [log, openMs, failure] {
            QThread::msleep(openMs);
            ++log->opened;
            return failure;
        },
        [log] {
            return sound::Opened {std::make_unique<FakeOutput>(log), {}};
        },
        [](sound::SoundOutput &) { return QString(); },
    });
}
