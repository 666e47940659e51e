#pragma once

#include <QByteArray>

#include <span>

namespace song
{

inline constexpr int WavSampleRate = 44100;

// A WAV file of 16-bit PCM stereo from float frames, where ±1 is full scale;
// louder samples are clipped to full scale, never wrapped round.
QByteArray wavFileBytes(
    std::span<const float> left, std::span<const float> right, int sampleRate = WavSampleRate);

} // namespace song
