#pragma once

#include "soundoutput.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

// What the thread that owns an output hands to the thread that renders it:
// notes, timed or at once, program changes and cancels. They pass through a
// bounded single-producer, single-consumer queue, so that the renderer never
// waits for the other thread nor allocates; the notes not yet due wait, in
// the order they fall due and moved to the nearest line of the synthesiser's
// frame grid, in a store only the renderer touches.
class TimedNotes
{
public:
    static constexpr std::int64_t Never = std::numeric_limits<std::int64_t>::max();
    // Commands in flight at once, and timed notes waiting: several bars of
    // chords and clicks, against a song handed over a tenth of a second ahead.
    static constexpr std::size_t QueueSize = 4096; // a power of two
    static constexpr std::size_t WaitingSize = 4096;
    // Taken from the queue at one render at most, so that a burst costs the
    // renderer a bounded time: the rest follows at the next.
    static constexpr std::size_t TakenAtOnce = 256;

    enum class Kind : unsigned char {
        Note, // note.velocity 0 lets it go
        Program, // note.note is the program for note.channel
        Cancel, // drop the notes waiting, then let go of what sounds
    };
    struct Command {
        Kind kind = Kind::Note;
        sound::TimedNote note {};
    };

    explicit TimedNotes(int grid);

    // The owner's side, one thread at a time. Each returns false when the
    // queue was full and something was left out.
    // Notes due at one frame keep the order they were given in, so that a
    // chord let go and struck again on the same line ends before it starts.
    bool add(std::span<const sound::TimedNote> notes);
    // A note at the next render, before anything due later.
    bool addNow(int channel, int note, int velocity);
    bool setProgram(int channel, int program);
    bool cancel();

    // The renderer's side. Takes what was handed over, hands the program
    // changes, the cancels and every note due by the frame to apply in the
    // order they were given, and returns the frame of the next note waiting,
    // or Never.
    template<typename Apply> std::int64_t playDue(std::int64_t frame, Apply apply)
    {
        const std::size_t first = m_read.load(std::memory_order_relaxed);
        const std::size_t end
            = std::min(m_written.load(std::memory_order_acquire), first + TakenAtOnce);
        for (std::size_t read = first; read != end; ++read) {
            const Command &command = m_queue[read % QueueSize];
            if (command.kind == Kind::Note) {
                wait(command.note);
            } else {
                if (command.kind == Kind::Cancel)
                    m_waiting.clear();
                apply(command);
            }
            m_read.store(read + 1, std::memory_order_release);
        }
        auto due = m_waiting.begin();
        for (; due != m_waiting.end() && due->frame <= frame; ++due)
            apply(Command {Kind::Note, *due});
        m_waiting.erase(m_waiting.begin(), due);
        return m_waiting.empty() ? Never : m_waiting.front().frame;
    }

    // Renderer's side: nothing handed over and nothing waiting.
    bool isEmpty() const
    {
        return m_waiting.empty()
            && m_read.load(std::memory_order_relaxed) == m_written.load(std::memory_order_acquire);
    }

private:
    bool push(const Command &command);
    void wait(const sound::TimedNote &note);

    const std::int64_t m_grid;
    std::array<Command, QueueSize> m_queue {};
    // Counts of commands written and read; each side writes its own.
    alignas(64) std::atomic<std::size_t> m_written {0};
    alignas(64) std::atomic<std::size_t> m_read {0};
    std::vector<sound::TimedNote> m_waiting; // sorted by frame, never past WaitingSize
};
