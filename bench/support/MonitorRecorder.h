// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Records what a PulseAudio sink plays, from its monitor source, on a thread of its
// own (libpulse-simple), and notes when each sample was played: the monitor gets a
// sample as the sink renders it, so the time it is captured is the time it is heard.
// The server is the one PULSE_SERVER names (the default one otherwise).

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct pa_simple;

class MonitorRecorder
{
public:
    using Clock = std::chrono::steady_clock;

    MonitorRecorder() = default;
    ~MonitorRecorder();
    MonitorRecorder(const MonitorRecorder&) = delete;
    MonitorRecorder& operator=(const MonitorRecorder&) = delete;

    // Records source (empty: the default sink's monitor) as signed 16-bit samples at
    // rate and channels; the server converts if the source has another format.
    // Returns once the stream records. False with the reason in error.
    bool Start(const std::string& source, unsigned rate, unsigned channels, std::string& error);
    // Ends the recording; what was recorded stays.
    void Stop();
    // False once stopped, or once the server stopped answering (Error says why).
    bool Running() const { return m_running; }
    std::string Error() const;

    unsigned Rate() const { return m_rate; }
    unsigned Channels() const { return m_channels; }
    // Sample frames recorded so far.
    std::size_t Frames() const;
    // The interleaved samples recorded so far.
    std::vector<std::int16_t> Samples() const;
    // When the sink played the given recorded frame; each read's last frame is timed
    // by the stream's latency at that read, the others by the rate. The time of the
    // last frame when frame lies beyond it.
    Clock::time_point PlayedAt(std::size_t frame) const;

private:
    struct ReadMark
    {
        std::size_t endFrame = 0;   // frames recorded after the read
        Clock::time_point lastPlayed;
    };

    void Run();

    pa_simple* m_stream = nullptr;
    unsigned m_rate = 0;
    unsigned m_channels = 0;
    std::size_t m_fragmentBytes = 0;
    std::atomic<bool> m_stopping{false};
    std::atomic<bool> m_running{false};

    mutable std::mutex m_lock;
    std::vector<std::int16_t> m_samples;
    std::vector<ReadMark> m_marks;
    std::string m_error;
    std::thread m_thread;
};
