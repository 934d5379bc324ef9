// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Eight 16384-byte buffers in one 128 KiB block per device open, filled from the
// attached source (the decoder, or the playback stream over it) and queued on the
// wave device. Used only by the player thread.

#include "TrackInfo.h"
#include "WaveOut.h"

#include <cstdint>

class PcmSource;

class CWaveOutput
{
public:
    static constexpr int kBufferCount = 8;
    static constexpr std::uint32_t kBufferSize = 16384;
    static constexpr std::uint32_t kBlockSize = kBufferCount * kBufferSize;   // 0x20000

    CWaveOutput();
    ~CWaveOutput();
    CWaveOutput(const CWaveOutput&) = delete;
    CWaveOutput& operator=(const CWaveOutput&) = delete;

    void Attach(PcmSource* source);
    PcmSource* Attached() const { return m_source; }
    bool Open(const TrackInfo& info, DWORD threadId);
    void Close();
    bool Pump();
    bool SetPaused(bool paused);
    bool AllIdle() const;
    void Reset();
    bool IsOpen() const { return m_device != nullptr; }
    // Sample frames heard since the device opened or was last reset (0 when closed).
    std::int64_t HeardFrames();
    // The device went away while it played (its sound server ended, say): it takes no
    // more buffers. Cleared by the next Open.
    bool DeviceLost() const { return m_deviceLost; }

private:
    PcmSource* m_source = nullptr;
    HWAVEOUT m_device = nullptr;
    WAVEHDR m_headers[kBufferCount];
    char* m_block = nullptr;
    bool m_deviceLost = false;
    // The device counts in 32 bits; the count since the reset is kept whole here.
    DWORD m_lastHeard = 0;
    std::int64_t m_heardFrames = 0;
};
