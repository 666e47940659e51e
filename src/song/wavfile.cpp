#include "wavfile.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace song
{

namespace
{
constexpr int Channels = 2;
constexpr int BytesPerSample = 2;
constexpr int BytesPerFrame = Channels * BytesPerSample;
constexpr int HeaderBytes = 44;
constexpr int FormatChunkBytes = 16;
constexpr int PcmFormat = 1;
constexpr float FullScale = 32767.0f;

template<typename T> void append(QByteArray &bytes, T value)
{
    const T little = qToLittleEndian(value);
    bytes.append(reinterpret_cast<const char *>(&little), sizeof little);
}

qint16 pcm(float sample)
{
    return qint16(std::lround(std::clamp(sample, -1.0f, 1.0f) * FullScale));
}
} // namespace

QByteArray wavHeader(std::size_t frames, int sampleRate)
{
    const auto dataBytes = quint32(frames * BytesPerFrame);
    QByteArray bytes;
    bytes.reserve(qsizetype(HeaderBytes + dataBytes)); // the frames are appended in pieces
    bytes += "RIFF";
    append(bytes, quint32(HeaderBytes - 8 + dataBytes));
    bytes += "WAVEfmt ";
    append(bytes, quint32(FormatChunkBytes));
    append(bytes, quint16(PcmFormat));
    append(bytes, quint16(Channels));
    append(bytes, quint32(sampleRate));
    append(bytes, quint32(sampleRate * BytesPerFrame)); // bytes a second
    append(bytes, quint16(BytesPerFrame));
    append(bytes, quint16(8 * BytesPerSample));
    bytes += "data";
    append(bytes, dataBytes);
    return bytes;
}

void appendPcm(QByteArray &wav, std::span<const float> left, std::span<const float> right)
{
    const std::size_t frames = std::min(left.size(), right.size());
    const qsizetype start = wav.size();
    wav.resize(start + qsizetype(frames * BytesPerFrame));
    char *out = wav.data() + start;
    for (std::size_t i = 0; i < frames; ++i) {
        qToLittleEndian(pcm(left[i]), out);
        qToLittleEndian(pcm(right[i]), out + BytesPerSample);
        out += BytesPerFrame;
    }
}

QByteArray wavFileBytes(std::span<const float> left, std::span<const float> right, int sampleRate)
{
    QByteArray wav = wavHeader(std::min(left.size(), right.size()), sampleRate);
    appendPcm(wav, left, right);
    return wav;
}

} // namespace song
