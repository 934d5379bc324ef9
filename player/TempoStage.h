// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Speech at another tempo without a lower or higher voice: SoundTouch's time
// stretch with its settings for speech, between the decoder's 16-bit samples and
// the wave device. Used only by the player thread, and only at tempos other
// than 1.0.

#include <SoundTouch.h>

#include <cstdint>
#include <vector>

class CTempoStage
{
public:
    // SoundTouch's own advice for speech: shorter sequences than for music.
    static constexpr int kSequenceMs = 40;
    static constexpr int kSeekWindowMs = 15;
    static constexpr int kOverlapMs = 8;

    CTempoStage();

    // For a stream of that rate and channel count, empty, at that tempo.
    void Start(int sampleRate, int channels, double tempo);
    // Forgets what it holds (a seek).
    void Clear();
    void Put(const std::int16_t* samples, std::uint32_t frames);
    // Lets what it holds come out, padded with silence to a whole sequence.
    void Flush();
    // Takes at most frames sample frames; returns how many.
    std::uint32_t Take(std::int16_t* out, std::uint32_t frames);
    std::uint32_t Ready() const { return m_touch.numSamples(); }

private:
    soundtouch::SoundTouch m_touch;
    std::vector<float> m_scratch;
    int m_channels = 1;
};
