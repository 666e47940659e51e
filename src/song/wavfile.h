#pragma once

#include <QByteArray>

#include <cstddef>
#include <span>

namespace song
{

inline constexpr int WavSampleRate = 44100;

// The header of a WAV file of 16-bit PCM stereo holding this many frames,
// with room reserved for them.
QByteArray wavHeader(std::size_t frames, int sampleRate = WavSampleRate);

// Appends float frames, where ±1 is full scale, as 16-bit PCM; louder
// samples are clipped to full scale, never wrapped round.
void appendPcm(QByteArray &wav, std::span<const float> left, std::span<const float> right);

// A whole WAV file of the frames.
QByteArray wavFileBytes(
    std::span<const float> left, std::span<const float> right, int sampleRate = WavSampleRate);

} // namespace song
