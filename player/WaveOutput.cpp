// SPDX-License-Identifier: GPL-2.0-or-later
#include "WaveOutput.h"

#include "PcmSource.h"
#include "WinThread.h"

#include <atomic>
#include <new>

namespace {

// The device's audio thread clears the in-queue flag when it is done with a header,
// so the flags are read as the atomic word they are to both threads.
bool IsQueued(const WAVEHDR& header)
{
    auto& flags = const_cast<DWORD&>(header.dwFlags);
    return std::atomic_ref<DWORD>(flags).load(std::memory_order_acquire) & WHDR_INQUEUE;
}

constexpr WORD kBitsPerByte = 8;
constexpr WORD kSixteenBits = 16;
constexpr WORD kEightBits = 8;
constexpr DWORD kNoInstance = 0;

WAVEFORMATEX FormatOf(const TrackInfo& info)
{
    WAVEFORMATEX format;
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = info.stereo ? 2 : 1;
    format.nSamplesPerSec = static_cast<DWORD>(info.sampleRate);
    format.wBitsPerSample = info.sixteenBit ? kSixteenBits : kEightBits;
    format.nBlockAlign = static_cast<WORD>(format.wBitsPerSample * format.nChannels / kBitsPerByte);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    format.cbSize = 0;
    return format;
}

}  // namespace

CWaveOutput::CWaveOutput() = default;

CWaveOutput::~CWaveOutput()
{
    Close();
}

void CWaveOutput::Attach(PcmSource* source)
{
    m_source = source;
}

bool CWaveOutput::Open(const TrackInfo& info, DWORD threadId)
{
    Close();   // a second open must not lose the first device and block
    m_deviceLost = false;
    const WAVEFORMATEX format = FormatOf(info);
    if (waveOutOpen(&m_device, WAVE_MAPPER, &format, threadId, kNoInstance, CALLBACK_THREAD)
        != MMSYSERR_NOERROR) {
        m_device = nullptr;
        return false;
    }
    // One block for all buffers, for as long as the device stays open.
    m_block = new (std::nothrow) char[kBlockSize];
    if (!m_block) {
        Close();
        return false;
    }
    for (int i = 0; i < kBufferCount; ++i) {
        m_headers[i] = WAVEHDR();
        m_headers[i].lpData = m_block + i * kBufferSize;
        m_headers[i].dwBufferLength = kBufferSize;
        waveOutPrepareHeader(m_device, &m_headers[i], sizeof(WAVEHDR));
    }
    return true;
}

void CWaveOutput::Close()
{
    if (!m_device)
        return;
    SetThreadPriority(THREAD_PRIORITY_NORMAL);
    waveOutReset(m_device);
    if (m_block) {
        for (WAVEHDR& header : m_headers)
            waveOutUnprepareHeader(m_device, &header, sizeof(WAVEHDR));
    }
    delete[] m_block;
    waveOutClose(m_device);
    m_device = nullptr;
    m_block = nullptr;
    m_lastHeard = 0;
    m_heardFrames = 0;
}

bool CWaveOutput::Pump()
{
    if (!m_device)
        return false;
    for (WAVEHDR& header : m_headers) {
        if (!m_source)
            break;
        if (IsQueued(header))
            continue;
        header.dwBufferLength = kBufferSize;
        const bool more = m_source->Fill(header.lpData, &header.dwBufferLength);
        // The last buffer of a file is usually only partly filled; it plays too.
        if (header.dwBufferLength > 0 &&
            waveOutWrite(m_device, &header, sizeof(WAVEHDR)) == MMSYSERR_NODRIVER) {
            m_deviceLost = true;
            return false;
        }
        if (!more) {
            m_source->Close();
            m_source = nullptr;
        }
    }
    return true;
}

bool CWaveOutput::SetPaused(bool paused)
{
    if (!m_device)
        return false;
    if (paused) {
        SetThreadPriority(THREAD_PRIORITY_NORMAL);
        waveOutPause(m_device);
    } else {
        SetThreadPriority(THREAD_PRIORITY_TIME_CRITICAL);
        waveOutRestart(m_device);
    }
    return true;
}

bool CWaveOutput::AllIdle() const
{
    if (!m_device)
        return true;
    for (const WAVEHDR& header : m_headers) {
        if (IsQueued(header))
            return false;
    }
    return true;
}

void CWaveOutput::Reset()
{
    if (m_device)
        waveOutReset(m_device);
    m_lastHeard = 0;
    m_heardFrames = 0;
}

std::int64_t CWaveOutput::HeardFrames()
{
    if (!m_device)
        return 0;
    MMTIME time;
    time.wType = TIME_SAMPLES;
    if (waveOutGetPosition(m_device, &time, sizeof(time)) != MMSYSERR_NOERROR)
        return m_heardFrames;
    m_heardFrames += static_cast<DWORD>(time.u.sample - m_lastHeard);
    m_lastHeard = time.u.sample;
    return m_heardFrames;
}
