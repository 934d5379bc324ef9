#include "WaveOutDevice.h"

#include "MessageQueue.h"
#include "SoftwareVolume.h"

#include <algorithm>
#include <atomic>
#include <cstring>

WaveOutDevice::WaveOutDevice(const AudioFormat& format, DWORD notifyThread)
    : m_format(format), m_notifyThread(notifyThread)
{
}

WaveOutDevice::~WaveOutDevice()
{
    if (m_backend)
        m_backend->Close();
}

bool WaveOutDevice::Start(std::unique_ptr<AudioBackend> backend, std::string& error)
{
    if (!backend->Open(m_format, *this, error))
        return false;
    m_backend = std::move(backend);
    return true;
}

bool WaveOutDevice::Stop()
{
    {
        std::lock_guard lock(m_lock);
        if (m_head)
            return false;
    }
    // Outside the lock: the backend's thread may be waiting for it in Read.
    m_backend->Close();
    return true;
}

MMRESULT WaveOutDevice::Prepare(WAVEHDR* header)
{
    std::lock_guard lock(m_lock);
    header->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT WaveOutDevice::Unprepare(WAVEHDR* header)
{
    std::lock_guard lock(m_lock);
    if (header->dwFlags & WHDR_INQUEUE)
        return WAVERR_STILLPLAYING;
    header->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT WaveOutDevice::Write(WAVEHDR* header)
{
    {
        std::lock_guard lock(m_lock);
        if (!(header->dwFlags & WHDR_PREPARED))
            return WAVERR_UNPREPARED;
        // Queuing it twice would tie the queue into a loop.
        if (header->dwFlags & WHDR_INQUEUE)
            return WAVERR_STILLPLAYING;
        header->dwFlags = (header->dwFlags | WHDR_INQUEUE) & ~WHDR_DONE;
        header->lpNext = nullptr;
        if (m_tail)
            m_tail->lpNext = header;
        else
            m_head = header;
        m_tail = header;
        if (!m_reading) {
            m_reading = header;
            m_readOffset = 0;
        }
    }
    m_backend->Wake();
    return MMSYSERR_NOERROR;
}

void WaveOutDevice::Pause()
{
    {
        std::lock_guard lock(m_lock);
        m_paused = true;
    }
    m_backend->Pause();
}

void WaveOutDevice::Restart()
{
    {
        std::lock_guard lock(m_lock);
        m_paused = false;
    }
    m_backend->Resume();
}

void WaveOutDevice::Reset()
{
    std::lock_guard lock(m_lock);
    CompleteUpTo(nullptr);
    m_reading = nullptr;
    m_readOffset = 0;
    m_streamOffset = 0;
}

bool WaveOutDevice::WaitUntilIdle(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_lock);
    return m_idle.wait_for(lock, timeout, [this] { return m_head == nullptr; });
}

std::size_t WaveOutDevice::Read(std::uint8_t* dest, std::size_t size)
{
    std::size_t got = 0;
    std::uint64_t startOffset = 0;
    {
        std::lock_guard lock(m_lock);
        if (m_paused)
            return 0;
        while (got < size && m_reading) {
            const std::size_t left = m_reading->dwBufferLength - m_readOffset;
            const std::size_t take = std::min(left, size - got);
            if (take > 0)
                std::memcpy(dest + got, m_reading->lpData + m_readOffset, take);
            got += take;
            m_readOffset += take;
            if (m_readOffset == m_reading->dwBufferLength) {
                m_reading = m_reading->lpNext;
                m_readOffset = 0;
            }
        }
        startOffset = m_streamOffset;
        m_streamOffset += got;
    }
    SoftwareVolume::Apply(dest, got, m_format, startOffset);
    return got;
}

void WaveOutDevice::CompletePlayed()
{
    std::lock_guard lock(m_lock);
    CompleteUpTo(m_reading);
}

void WaveOutDevice::CompleteUpTo(const WAVEHDR* stop)
{
    while (m_head && m_head != stop) {
        WAVEHDR* done = m_head;
        m_head = done->lpNext;
        Complete(done);
    }
    if (!m_head) {
        m_tail = nullptr;
        m_idle.notify_all();
    }
}

void WaveOutDevice::Complete(WAVEHDR* header)
{
    header->lpNext = nullptr;
    // The owner reads the flags without the lock to see which buffers are free.
    std::atomic_ref<DWORD>(header->dwFlags)
        .store((header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE, std::memory_order_release);
    // Posted under the lock, so the owner hears of the headers in queue order even
    // when a reset and the backend complete at the same time.
    if (m_notifyThread != 0)
        PostThreadMessageW(m_notifyThread, MM_WOM_DONE, reinterpret_cast<WPARAM>(this),
                           reinterpret_cast<LPARAM>(header));
}
