// SPDX-License-Identifier: GPL-2.0-or-later
#include "MonitorRecorder.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <algorithm>

namespace {

// Small reads, so each sample's time is known to a few milliseconds.
constexpr std::chrono::milliseconds kFragment{5};
constexpr char kDefaultMonitor[] = "@DEFAULT_MONITOR@";
constexpr char kClientName[] = "vellumdeck-monitor";
constexpr std::uint32_t kServerChooses = static_cast<std::uint32_t>(-1);
constexpr pa_usec_t kUnknownLatency = static_cast<pa_usec_t>(-1);

std::string PulseError(const char* what, int code)
{
    return std::string(what) + ": " + pa_strerror(code);
}

}  // namespace

MonitorRecorder::~MonitorRecorder()
{
    Stop();
}

bool MonitorRecorder::Start(const std::string& source, unsigned rate, unsigned channels,
                            std::string& error)
{
    Stop();
    const pa_sample_spec spec{PA_SAMPLE_S16LE, rate, static_cast<std::uint8_t>(channels)};
    const std::size_t frameBytes = channels * sizeof(std::int16_t);
    m_fragmentBytes = std::max<std::size_t>(1, rate * kFragment.count() / 1000) * frameBytes;
    pa_buffer_attr attr{};
    attr.maxlength = kServerChooses;
    attr.tlength = kServerChooses;
    attr.prebuf = kServerChooses;
    attr.minreq = kServerChooses;
    attr.fragsize = static_cast<std::uint32_t>(m_fragmentBytes);
    int code = 0;
    m_stream = pa_simple_new(nullptr, kClientName, PA_STREAM_RECORD,
                             source.empty() ? kDefaultMonitor : source.c_str(), "monitor", &spec,
                             nullptr, &attr, &code);
    if (m_stream == nullptr) {
        error = PulseError("cannot record the monitor", code);
        return false;
    }
    m_rate = rate;
    m_channels = channels;
    {
        std::lock_guard lock(m_lock);
        m_samples.clear();
        m_marks.clear();
        m_error.clear();
    }
    m_stopping = false;
    m_running = true;
    m_thread = std::thread(&MonitorRecorder::Run, this);
    return true;
}

void MonitorRecorder::Stop()
{
    m_stopping = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_stream != nullptr) {
        pa_simple_free(m_stream);
        m_stream = nullptr;
    }
    m_running = false;
}

std::string MonitorRecorder::Error() const
{
    std::lock_guard lock(m_lock);
    return m_error;
}

std::size_t MonitorRecorder::Frames() const
{
    std::lock_guard lock(m_lock);
    return m_channels == 0 ? 0 : m_samples.size() / m_channels;
}

std::vector<std::int16_t> MonitorRecorder::Samples() const
{
    std::lock_guard lock(m_lock);
    return m_samples;
}

MonitorRecorder::Clock::time_point MonitorRecorder::PlayedAt(std::size_t frame) const
{
    std::lock_guard lock(m_lock);
    if (m_marks.empty())
        return Clock::time_point{};
    const auto mark = std::lower_bound(m_marks.begin(), m_marks.end(), frame + 1,
                                       [](const ReadMark& m, std::size_t f) { return m.endFrame < f; });
    const ReadMark& at = mark == m_marks.end() ? m_marks.back() : *mark;
    const double framesBefore = static_cast<double>(at.endFrame) - 1.0 - static_cast<double>(frame);
    return at.lastPlayed - std::chrono::duration_cast<Clock::duration>(
                               std::chrono::duration<double>(std::max(0.0, framesBefore) / m_rate));
}

void MonitorRecorder::Run()
{
    std::vector<std::int16_t> fragment(m_fragmentBytes / sizeof(std::int16_t));
    while (!m_stopping) {
        int code = 0;
        if (pa_simple_read(m_stream, fragment.data(), m_fragmentBytes, &code) < 0) {
            std::lock_guard lock(m_lock);
            m_error = PulseError("the monitor stopped", code);
            break;
        }
        const Clock::time_point now = Clock::now();
        // What is still buffered for us, and the source's own delay, was played
        // before this moment.
        pa_usec_t latency = pa_simple_get_latency(m_stream, &code);
        if (latency == kUnknownLatency)
            latency = 0;
        std::lock_guard lock(m_lock);
        m_samples.insert(m_samples.end(), fragment.begin(), fragment.end());
        m_marks.push_back(ReadMark{m_samples.size() / m_channels,
                                   now - std::chrono::microseconds(static_cast<std::int64_t>(latency))});
    }
    m_running = false;
}
