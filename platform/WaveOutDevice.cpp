// SPDX-License-Identifier: GPL-2.0-or-later
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
        if (m_lost)
            return MMSYSERR_NODRIVER;
        if (!(header->dwFlags & WHDR_PREPARED))
            return WAVERR_UNPREPARED;
        // Queuing it twice would tie the queue into a loop.
        if (header->dwFlags & WHDR_INQUEUE)
            return WAVERR_STILLPLAYING;
        header->dwFlags = (header->dwFlags | WHDR_INQUEUE) & ~WHDR_DONE;
        header->lpNext = nullptr;
        // The driver's own field: where in the stream the header's last byte lies.
        m_writtenOffset += header->dwBufferLength;
        header->reserved = static_cast<DWORD_PTR>(m_writtenOffset);
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
    m_writtenOffset = 0;
    m_spanStart = m_spanCount = 0;
    m_heardFloor = m_heard = 0;
}

bool WaveOutDevice::WaitUntilIdle(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_lock);
    return m_idle.wait_for(lock, timeout, [this] { return m_head == nullptr; });
}

std::size_t WaveOutDevice::Read(std::uint8_t* dest, std::size_t size, Clock::time_point heardFrom,
                                double speed)
{
    std::size_t got = 0;
    std::uint64_t startOffset = 0;
    {
        std::lock_guard lock(m_lock);
        if (m_paused || m_lost)
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
        if (got > 0)
            Schedule(startOffset, got, heardFrom, speed);
    }
    SoftwareVolume::Apply(dest, got, m_format, startOffset);
    return got;
}

void WaveOutDevice::Schedule(std::uint64_t offset, std::size_t bytes, Clock::time_point from,
                             double speed)
{
    if (m_spanCount == kSpanCount) {
        // The oldest span went to the listener long ago.
        const HeardSpan& oldest = m_spans[m_spanStart];
        m_heardFloor = oldest.offset + oldest.bytes;
        m_spanStart = (m_spanStart + 1) % kSpanCount;
        --m_spanCount;
    }
    m_spans[(m_spanStart + m_spanCount) % kSpanCount] = HeardSpan{offset, bytes, from, speed};
    ++m_spanCount;
}

// The newest span that has begun to be heard tells how far the listener is: all
// before it has been heard, and of it as much as its time since it began allows.
std::uint64_t WaveOutDevice::HeardAt(Clock::time_point now) const
{
    std::uint64_t heard = m_heardFloor;
    for (std::size_t i = m_spanCount; i-- > 0;) {
        const HeardSpan& span = m_spans[(m_spanStart + i) % kSpanCount];
        if (span.speed <= AudioFeed::kHeardAtOnce) {
            heard = span.offset + span.bytes;
            break;
        }
        if (span.from > now)
            continue;
        const double seconds = std::chrono::duration<double>(now - span.from).count();
        const double played = seconds * span.speed * static_cast<double>(m_format.BytesPerSecond());
        const std::size_t block = std::max<std::size_t>(m_format.BlockAlign(), 1);
        const auto whole = static_cast<std::uint64_t>(played) / block * block;
        heard = span.offset + std::min<std::uint64_t>(whole, span.bytes);
        break;
    }
    return std::max(heard, m_heard);
}

std::uint64_t WaveOutDevice::HeardBytes()
{
    std::lock_guard lock(m_lock);
    m_heard = std::min(HeardAt(Clock::now()), m_streamOffset);
    return m_heard;
}

void WaveOutDevice::CompleteHeard()
{
    std::lock_guard lock(m_lock);
    m_heard = std::min(HeardAt(Clock::now()), m_streamOffset);
    CompleteUpTo(m_reading, m_heard);
}

void WaveOutDevice::DeviceLost(const std::string& reason)
{
    std::lock_guard lock(m_lock);
    if (m_lost)
        return;
    m_lost = true;
    m_lostReason = reason;
    // Nothing queued will be heard now; the owner learns of it by the next write.
    CompleteUpTo(nullptr);
    m_reading = nullptr;
    m_readOffset = 0;
}

std::string WaveOutDevice::LostReason()
{
    std::lock_guard lock(m_lock);
    return m_lostReason;
}

void WaveOutDevice::CompleteUpTo(const WAVEHDR* stop, std::uint64_t heard)
{
    while (m_head && m_head != stop && m_head->reserved <= heard) {
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
