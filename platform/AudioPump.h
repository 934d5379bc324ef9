// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The consumer thread of the backends that have no sound card to keep time for
// them: it takes PCM from a feed in small chunks, hands each to a sink, and
// completes the played headers, either at a multiple of real time or as fast as
// the sink takes it.

#include "AudioFeed.h"
#include "AudioFormat.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class AudioPump
{
public:
    using Sink = std::function<void(const std::uint8_t* pcm, std::size_t size)>;
    // A speed of 0 means unpaced.
    static constexpr double kUnpaced = 0.0;

    AudioPump() = default;
    ~AudioPump();
    AudioPump(const AudioPump&) = delete;
    AudioPump& operator=(const AudioPump&) = delete;

    bool Start(AudioFeed& feed, const AudioFormat& format, double speed, Sink sink);
    void Stop();
    void Wake();

private:
    void Run();
    std::size_t ChunkSize() const;
    // Both return false once Stop has been asked for.
    bool WaitForWake();
    bool WaitUntil(std::chrono::steady_clock::time_point due);
    bool Paced() const { return m_speed > kUnpaced; }

    AudioFeed* m_feed = nullptr;
    AudioFormat m_format;
    double m_speed = kUnpaced;
    Sink m_sink;
    std::vector<std::uint8_t> m_chunk;   // sized once at start; the loop never allocates

    std::mutex m_lock;
    std::condition_variable m_signal;
    bool m_stopping = false;
    bool m_woken = false;
    std::thread m_thread;
};
