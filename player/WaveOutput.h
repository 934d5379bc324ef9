#pragma once
// Eight 16384-byte buffers in one 128 KiB block per device open, filled from the
// attached decoder and queued on the wave device. Used only by the player thread.

#include "TrackInfo.h"
#include "WaveOut.h"

#include <cstdint>

class CMp3Decoder;

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

    void Attach(CMp3Decoder* decoder);
    CMp3Decoder* Attached() const { return m_decoder; }
    bool Open(const TrackInfo& info, DWORD threadId);
    void Close();
    bool Pump();
    bool SetPaused(bool paused);
    bool AllIdle() const;
    void Reset();
    bool IsOpen() const { return m_device != nullptr; }
    // The device went away while it played (its sound server ended, say): it takes no
    // more buffers. Cleared by the next Open.
    bool DeviceLost() const { return m_deviceLost; }

private:
    CMp3Decoder* m_decoder = nullptr;
    HWAVEOUT m_device = nullptr;
    WAVEHDR m_headers[kBufferCount];
    char* m_block = nullptr;
    bool m_deviceLost = false;
};
