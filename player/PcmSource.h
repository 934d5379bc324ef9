// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What the wave output fills its buffers from: the decoder itself, or the playback
// stream that loops, repeats and changes the tempo of what the decoder gives.

#include <cstdint>

class PcmSource
{
public:
    // Writes up to *byteCount bytes of PCM; *byteCount then holds the bytes written.
    // False at the end of the data; the bytes of that call are still counted.
    virtual bool Fill(void* destination, std::uint32_t* byteCount) = 0;
    // The data has ended, or playing stops: what it reads from is closed.
    virtual void Close() = 0;

protected:
    ~PcmSource() = default;
};
