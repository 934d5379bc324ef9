// SPDX-License-Identifier: GPL-2.0-or-later
#include "AudioPump.h"

#include <algorithm>

namespace {

using Clock = std::chrono::steady_clock;

// A paced pump takes this much audio per wake-up, a real device's period (SDL's default
// buffer: 2048 frames at 44.1 kHz); waking more often at real time only spends
// processor time, and a wake-up costs more than decoding 10 ms of audio...
constexpr std::chrono::milliseconds kDevicePeriod{46};
// ...but wakes at least this often in real time, so a sped-up run stays smooth.
constexpr std::chrono::milliseconds kShortestTick{10};
// Unpaced chunks only bound how much is read at once.
constexpr std::size_t kUnpacedChunk = 64 * 1024;
constexpr std::size_t kLargestChunk = 1024 * 1024;

}  // namespace

AudioPump::~AudioPump()
{
    Stop();
}

bool AudioPump::Start(AudioFeed& feed, const AudioFormat& format, double speed, Sink sink)
{
    Stop();
    m_feed = &feed;
    m_format = format;
    m_speed = speed;
    m_sink = std::move(sink);
    m_chunk.assign(ChunkSize(), 0);
    m_stopping = false;
    m_woken = false;
    m_thread = std::thread(&AudioPump::Run, this);
    return true;
}

void AudioPump::Stop()
{
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard lock(m_lock);
        m_stopping = true;
    }
    m_signal.notify_all();
    m_thread.join();
}

void AudioPump::Wake()
{
    {
        std::lock_guard lock(m_lock);
        m_woken = true;
    }
    m_signal.notify_all();
}

std::size_t AudioPump::ChunkSize() const
{
    const std::size_t block = std::max<std::size_t>(m_format.BlockAlign(), 1);
    std::size_t bytes = kUnpacedChunk;
    if (Paced()) {
        const double tickSeconds = std::max(std::chrono::duration<double>(kShortestTick).count(),
                                            std::chrono::duration<double>(kDevicePeriod).count() / m_speed);
        const double perTick = static_cast<double>(m_format.BytesPerSecond()) * m_speed * tickSeconds;
        bytes = static_cast<std::size_t>(std::min(perTick, static_cast<double>(kLargestChunk)));
    }
    return std::max(bytes / block, std::size_t{1}) * block;
}

bool AudioPump::WaitForWake()
{
    std::unique_lock lock(m_lock);
    m_signal.wait(lock, [this] { return m_woken || m_stopping; });
    m_woken = false;
    return !m_stopping;
}

bool AudioPump::WaitUntil(Clock::time_point due)
{
    std::unique_lock lock(m_lock);
    m_signal.wait_until(lock, due, [this] { return m_stopping; });
    return !m_stopping;
}

void AudioPump::Run()
{
    const double bytesPerSecond = static_cast<double>(m_format.BytesPerSecond()) * m_speed;
    const double heardSpeed = Paced() ? m_speed : AudioFeed::kHeardAtOnce;
    Clock::time_point due = Clock::now();
    for (;;) {
        // A chunk is heard from the moment the previous one has had its time.
        const std::size_t got = m_feed->Read(m_chunk.data(), m_chunk.size(), due, heardSpeed);
        if (got > 0) {
            m_sink(m_chunk.data(), got);
            if (Paced()) {
                // Headers come back only once their bytes have had their time.
                due += std::chrono::duration_cast<Clock::duration>(
                    std::chrono::duration<double>(static_cast<double>(got) / bytesPerSecond));
                if (!WaitUntil(due))
                    break;
            }
        }
        // Also after an empty read: a zero-length header is played by being passed.
        m_feed->CompleteHeard();
        if (got == 0) {
            if (!WaitForWake())
                break;
            due = Clock::now();
        } else {
            std::lock_guard lock(m_lock);
            if (m_stopping)
                break;
        }
    }
}
