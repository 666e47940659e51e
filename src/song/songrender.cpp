#include "songrender.h"

#include "schedule.h"
#include "wavfile.h"

#include <algorithm>

namespace song
{

namespace
{
constexpr int RingSeconds = 1; // after the last bar
}

Audio renderSong(const Song &song, int program, sound::SoundOutput &output)
{
    Audio audio;
    audio.sampleRate = output.sampleRate();
    const Schedule schedule(song, {audio.sampleRate});
    const auto frames = std::size_t(schedule.endSample() + RingSeconds * audio.sampleRate);
    audio.left.resize(frames);
    audio.right.resize(frames);
    std::size_t done = 0;
    const auto renderTo = [&](std::size_t frame) {
        if (frame <= done)
            return;
        output.render(std::span(audio.left).subspan(done, frame - done),
            std::span(audio.right).subspan(done, frame - done));
        done = frame;
    };

    // Stopping the render exactly at an event would put the note at the next
    // grid line, up to a whole grid late; the nearest line is at most half.
    const std::int64_t grid = std::max(1, output.frameGrid());
    output.selectProgram(program);
    for (const Event &event : schedule.events(song)) {
        renderTo(std::size_t((event.sample + grid / 2) / grid * grid));
        if (event.type == EventType::NoteOn)
            output.noteOn(event.note, event.velocity);
        else if (event.type == EventType::NoteOff)
            output.noteOff(event.note);
    }
    renderTo(frames);
    return audio;
}

Rendered renderWav(const Song &song, int program, const QStringList &folders)
{
    const sound::Opened opened = sound::openOutput(folders, sound::Target::Buffer);
    if (!opened.output)
        return {{}, opened.reason};
    const Audio audio = renderSong(song, program, *opened.output);
    return {wavFileBytes(audio.left, audio.right, audio.sampleRate), {}};
}

} // namespace song
