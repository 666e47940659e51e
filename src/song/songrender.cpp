#include "songrender.h"

#include "schedule.h"
#include "wavfile.h"

#include <algorithm>

namespace song
{

namespace
{
constexpr int RingSeconds = 1; // after the last bar
// Frames rendered at a time: the whole song is never held as floats.
constexpr std::size_t ChunkFrames = 4096;
} // namespace

std::size_t songFrames(const Song &song, int sampleRate)
{
    return std::size_t(Schedule(song, {sampleRate}).endSample() + RingSeconds * sampleRate);
}

void renderSong(const Song &song, int program, sound::SoundOutput &output, const FrameSink &sink)
{
    const int rate = output.sampleRate();
    std::vector<float> left(ChunkFrames), right(ChunkFrames);
    std::size_t done = 0;
    const auto renderTo = [&](std::size_t frame) {
        while (done < frame) {
            const std::size_t count = std::min(ChunkFrames, frame - done);
            const auto l = std::span(left).first(count), r = std::span(right).first(count);
            output.render(l, r);
            sink(l, r);
            done += count;
        }
    };

    // Stopping the render exactly at an event would put the note at the next
    // grid line, up to a whole grid late; the nearest line is at most half.
    const std::int64_t grid = std::max(1, output.frameGrid());
    output.selectProgram(program);
    for (const Event &event : Schedule(song, {rate}).events(song)) {
        renderTo(std::size_t((event.sample + grid / 2) / grid * grid));
        if (event.type == EventType::NoteOn)
            output.noteOn(event.note, event.velocity);
        else if (event.type == EventType::NoteOff)
            output.noteOff(event.note);
    }
    renderTo(songFrames(song, rate));
}

Audio renderSong(const Song &song, int program, sound::SoundOutput &output)
{
    Audio audio {output.sampleRate(), {}, {}};
    renderSong(song, program, output, [&audio](std::span<const float> l, std::span<const float> r) {
        audio.left.insert(audio.left.end(), l.begin(), l.end());
        audio.right.insert(audio.right.end(), r.begin(), r.end());
    });
    return audio;
}

Rendered renderWav(const Song &song, int program, const QStringList &folders)
{
    constexpr int SecondsPerMinute = 60;
    if (chordStarts(song).back() * SecondsPerMinute / song.tempo
        >= MaxWavMinutes * SecondsPerMinute)
        return {{},
            QStringLiteral(
                "曲が %1 分以上あるので WAV にできません: MIDI ファイルに書き出してください")
                .arg(MaxWavMinutes)};
    const sound::Opened opened = sound::openOutput(folders, sound::Target::Buffer);
    if (!opened.output)
        return {{}, opened.reason};
    return {renderWav(song, program, *opened.output), {}};
}

QByteArray renderWav(const Song &song, int program, sound::SoundOutput &output)
{
    const int rate = output.sampleRate();
    QByteArray wav = wavHeader(songFrames(song, rate), rate);
    renderSong(song, program, output,
        [&wav](std::span<const float> l, std::span<const float> r) { appendPcm(wav, l, r); });
    return wav;
}

} // namespace song
