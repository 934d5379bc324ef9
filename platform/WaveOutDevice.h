// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// One open wave device: the queue of written headers and the backend that plays
// them. The owner's thread writes, pauses and resets; the backend's thread reads
// and completes. Both go through m_lock, and only this class changes a header's
// flags. Queued headers are linked through their lpNext field, so neither side
// allocates while audio runs.
//
// The device knows what has been heard: the backend tells, with every read, when
// the bytes it took reach the listener, and a header is done only once its last
// byte has been heard. The heard position (bytes since open or the last reset)
// runs on between reads at the rate the bytes are played.
//
// A device whose output went away (DeviceLost) gives every queued header back and
// refuses later writes with MMSYSERR_NODRIVER; LostReason says why.

#include "AudioBackend.h"
#include "AudioFeed.h"
#include "WaveOut.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

struct WaveOutDevice final : public AudioFeed
{
public:
    // notifyThread 0: nobody is told of finished headers (they are only flagged).
    WaveOutDevice(const AudioFormat& format, DWORD notifyThread);
    ~WaveOutDevice();
    WaveOutDevice(const WaveOutDevice&) = delete;
    WaveOutDevice& operator=(const WaveOutDevice&) = delete;

    bool Start(std::unique_ptr<AudioBackend> backend, std::string& error);
    // Refused (false) while headers are queued.
    bool Stop();

    MMRESULT Prepare(WAVEHDR* header);
    MMRESULT Unprepare(WAVEHDR* header);
    // MMSYSERR_NODRIVER once the output has gone away.
    MMRESULT Write(WAVEHDR* header);
    void Pause();
    void Restart();
    void Reset();
    // Waits until every written header is done; false when time ran out first.
    bool WaitUntilIdle(std::chrono::milliseconds timeout);
    // Bytes heard since the device opened or was last reset.
    std::uint64_t HeardBytes();
    const AudioFormat& Format() const { return m_format; }
    // Why the output went away; empty while it is there.
    std::string LostReason();

    std::size_t Read(std::uint8_t* dest, std::size_t size, Clock::time_point heardFrom,
                     double speed) override;
    void CompleteHeard() override;
    void DeviceLost(const std::string& reason) override;

private:
    // A stretch of the byte stream and when it is heard.
    struct HeardSpan
    {
        std::uint64_t offset = 0;
        std::size_t bytes = 0;
        Clock::time_point from;
        double speed = 0.0;
    };
    static constexpr std::size_t kSpanCount = 64;

    // Call with m_lock held.
    void Complete(WAVEHDR* header);
    // Completes the queued buffers from the head up to stop (not included), each only
    // once the stream has been heard up to its end (its reserved offset) when heard is
    // given.
    void CompleteUpTo(const WAVEHDR* stop, std::uint64_t heard = UINT64_MAX);
    void Schedule(std::uint64_t offset, std::size_t bytes, Clock::time_point from, double speed);
    std::uint64_t HeardAt(Clock::time_point now) const;

    const AudioFormat m_format;
    const DWORD m_notifyThread;
    std::unique_ptr<AudioBackend> m_backend;

    std::mutex m_lock;
    std::condition_variable m_idle;
    WAVEHDR* m_head = nullptr;      // oldest header not yet done
    WAVEHDR* m_tail = nullptr;
    WAVEHDR* m_reading = nullptr;   // first header with bytes left to read
    std::size_t m_readOffset = 0;   // bytes of m_reading already read
    std::uint64_t m_streamOffset = 0;    // bytes read since the last reset
    std::uint64_t m_writtenOffset = 0;   // bytes written since the last reset
    // The latest spans handed to the backend, oldest first; bytes before the oldest
    // have all been heard.
    HeardSpan m_spans[kSpanCount];
    std::size_t m_spanStart = 0;
    std::size_t m_spanCount = 0;
    std::uint64_t m_heardFloor = 0;
    std::uint64_t m_heard = 0;   // never goes back between resets
    bool m_paused = false;
    bool m_lost = false;
    std::string m_lostReason;
};
