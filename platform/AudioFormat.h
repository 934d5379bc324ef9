#pragma once
// The PCM layout a device was opened with, as the backends need it.

#include "Win32Defs.h"

#include <cstddef>

struct AudioFormat
{
    WORD channels = 0;
    DWORD sampleRate = 0;
    WORD bitsPerSample = 0;

    std::size_t BytesPerSample() const { return bitsPerSample / 8u; }
    std::size_t BlockAlign() const { return BytesPerSample() * channels; }
    std::size_t BytesPerSecond() const { return BlockAlign() * sampleRate; }

    bool operator==(const AudioFormat&) const = default;
};
