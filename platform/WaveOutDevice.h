#pragma once
// One open wave device: the queue of written headers and the backend that plays
// them. The owner's thread writes, pauses and resets; the backend's thread reads
// and completes. Both go through m_lock, and only this class changes a header's
// flags. Queued headers are linked through their lpNext field, so neither side
// allocates while audio runs.

#include "AudioBackend.h"
#include "AudioFeed.h"
#include "WaveOut.h"

#include <chrono>
#include <condition_variable>
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
    MMRESULT Write(WAVEHDR* header);
    void Pause();
    void Restart();
    void Reset();
    // Waits until every written header is done; false when time ran out first.
    bool WaitUntilIdle(std::chrono::milliseconds timeout);

    std::size_t Read(std::uint8_t* dest, std::size_t size) override;
    void CompletePlayed() override;

private:
    // Call with m_lock held.
    void Complete(WAVEHDR* header);
    void CompleteUpTo(const WAVEHDR* stop);

    const AudioFormat m_format;
    const DWORD m_notifyThread;
    std::unique_ptr<AudioBackend> m_backend;

    std::mutex m_lock;
    std::condition_variable m_idle;
    WAVEHDR* m_head = nullptr;      // oldest header not yet done
    WAVEHDR* m_tail = nullptr;
    WAVEHDR* m_reading = nullptr;   // first header with bytes left to read
    std::size_t m_readOffset = 0;   // bytes of m_reading already read
    std::uint64_t m_streamOffset = 0;
    bool m_paused = false;
};
