// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The PCM layout a device was opened with, as the backends need it.

#include "Win32Defs.h"

#include <cstddef>

struct AudioFormat
{
    // The highest sample rate a device or a sound file may have.
    static constexpr DWORD kMaxSampleRate = 384000;

    WORD channels = 0;
    DWORD sampleRate = 0;
    WORD bitsPerSample = 0;

    std::size_t BytesPerSample() const { return bitsPerSample / 8u; }
    std::size_t BlockAlign() const { return BytesPerSample() * channels; }
    std::size_t BytesPerSecond() const { return BlockAlign() * sampleRate; }
    // One or two channels of 8 or 16 bits, at a rate above 0 and up to kMaxSampleRate.
    bool Playable() const
    {
        return (channels == 1 || channels == 2) && (bitsPerSample == 8 || bitsPerSample == 16) && sampleRate > 0 &&
               sampleRate <= kMaxSampleRate;
    }

    bool operator==(const AudioFormat&) const = default;
};
