// SPDX-License-Identifier: GPL-2.0-or-later
// heard_latency: how well the wave device knows what the listener has heard, judged by
// what the sound server's sink really played.
// Usage: heard_latency [SECONDS [RATE]]
// Plays SECONDS (default 8) of stereo at RATE (default 44100 Hz) through the output of
// VELLUMDECK_AUDIO (sdl when unset; SDL's pulseaudio driver unless SDL_AUDIODRIVER says
// otherwise) on the server PULSE_SERVER names, pausing for half a second in the
// middle, while it records the monitor of the sink it plays on (PULSE_SINK, or the
// default sink; give it a sink at RATE, or the server resamples). Every frame carries its own number (left the low
// 15 bits, right the high ones, never zero), and the server passes 16-bit samples at
// full volume through unchanged, so the recording says which frame was played when.
// Then it plays again and stops in the middle. Prints "key value" lines:
//   position_error_ms_*   waveOutGetPosition, polled every millisecond while it plays
//                         steadily, minus what the sink had played at that moment
//                         (median, p5, p95, min, max); negative: the device says less
//                         than has been heard
//   end_margin_ms         from the moment the sink played the last frame to the moment
//                         its header was done; negative: done before it was heard
//   first_heard_ms        from the first waveOutWrite after the open to its first frame played
//   pause_heard_ms        from waveOutPause to the last frame played before the pause
//   restart_heard_ms      from waveOutRestart to the first frame played after it
//   stop_heard_ms         from waveOutReset + waveOutClose to the last frame played
//   close_ms              how long waveOutClose took
//   frames_lost, frames_repeated   frames written but never played, or played twice
// Exit status 0 when it measured, 1 on bad usage, 2 when it could not play or record.

#include "MonitorRecorder.h"
#include "Registry.h"
#include "Statistics.h"
#include "WaveOut.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kExitUsage = 1;
constexpr int kExitFailed = 2;
constexpr double kDefaultSeconds = 8;
constexpr int kMinimumRate = 8000;
constexpr unsigned kDefaultRate = 44100;
constexpr unsigned kChannels = 2;
constexpr std::size_t kFrameBytes = kChannels * sizeof(std::int16_t);
// The player's own buffers: eight of 16 KiB.
constexpr int kBufferCount = 8;
constexpr std::size_t kBufferBytes = 16384;
constexpr unsigned kLowBits = 15;
constexpr std::uint32_t kLowMask = (1u << kLowBits) - 1;
constexpr auto kPoll = std::chrono::milliseconds(1);
constexpr auto kPause = std::chrono::milliseconds(500);
constexpr auto kTail = std::chrono::milliseconds(600);
constexpr auto kSettle = std::chrono::milliseconds(600);
constexpr auto kStopAfter = std::chrono::seconds(2);
constexpr auto kDeadline = std::chrono::seconds(20);
constexpr double kMsPerSecond = 1000.0;
constexpr double kFifth = 0.05;
constexpr double kNinetyFifth = 0.95;

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

struct PositionSample
{
    Clock::time_point at;
    std::uint32_t frames = 0;
};

// What one stretch of playing wrote and saw, on the device's side.
struct Playing
{
    std::uint32_t firstFrame = 0;   // number of the first frame written
    std::uint32_t frames = 0;       // frames written
    Clock::time_point firstWrite;
    Clock::time_point pausedAt, restartedAt, lastDone, closedAt;
    double closeMs = 0;
    std::vector<PositionSample> positions;
};

class Player
{
public:
    Player(unsigned rate, std::uint32_t firstFrame) : m_rate(rate), m_next(firstFrame) {}
    ~Player() { Close(); }

    bool Open()
    {
        WAVEFORMATEX format;
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = kChannels;
        format.nSamplesPerSec = m_rate;
        format.wBitsPerSample = 16;
        format.nBlockAlign = kFrameBytes;
        format.nAvgBytesPerSec = m_rate * kFrameBytes;
        if (waveOutOpen(&m_device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
            std::fprintf(stderr, "heard_latency: cannot open the output: %s\n", WaveOutLastOpenError().c_str());
            return false;
        }
        for (std::size_t i = 0; i < m_headers.size(); ++i) {
            m_headers[i].lpData = m_data[i].data();
            m_headers[i].dwBufferLength = kBufferBytes;
            waveOutPrepareHeader(m_device, &m_headers[i], sizeof(WAVEHDR));
        }
        m_result.firstFrame = m_next;
        return true;
    }

    // Writes frames until count are written, pausing at half way when asked, then
    // waits until every header is done.
    bool PlayThrough(std::uint32_t count, bool pauseHalfWay)
    {
        const std::uint32_t end = m_next + count;
        const std::uint32_t half = m_next + count / 2;
        bool paused = !pauseHalfWay;
        const Clock::time_point deadline = Clock::now() + kDeadline;
        while (Clock::now() < deadline) {
            if (!Refill(end))
                return false;
            if (!paused && m_next >= half) {
                std::this_thread::sleep_for(kPause / 2);
                m_result.pausedAt = Clock::now();
                waveOutPause(m_device);
                Poll(kPause);
                m_result.restartedAt = Clock::now();
                waveOutRestart(m_device);
                paused = true;
            }
            if (m_next == end && AllDone()) {
                m_result.lastDone = Clock::now();
                return true;
            }
            Poll(kPoll);
        }
        std::fprintf(stderr, "heard_latency: the buffers did not come back\n");
        return false;
    }

    // Plays for a while, then stops as the player does: reset, then close.
    bool PlayAndStop(std::uint32_t count)
    {
        const Clock::time_point stopAt = Clock::now() + kStopAfter;
        while (Clock::now() < stopAt) {
            if (!Refill(m_next + count))
                return false;
            Poll(kPoll);
        }
        m_result.closedAt = Clock::now();
        Close();
        m_result.closeMs = Ms(Clock::now() - m_result.closedAt);
        return true;
    }

    void Close()
    {
        if (m_device == nullptr)
            return;
        waveOutReset(m_device);
        for (WAVEHDR& header : m_headers)
            waveOutUnprepareHeader(m_device, &header, sizeof(WAVEHDR));
        waveOutClose(m_device);
        m_device = nullptr;
    }

    std::uint32_t Next() const { return m_next; }
    const Playing& Result() const { return m_result; }

private:
    bool Refill(std::uint32_t end)
    {
        for (std::size_t i = 0; i < m_headers.size() && m_next < end; ++i) {
            WAVEHDR& header = m_headers[i];
            if (header.dwFlags & WHDR_INQUEUE)
                continue;
            const std::uint32_t frames = std::min<std::uint32_t>(kBufferBytes / kFrameBytes, end - m_next);
            Fill(m_data[i].data(), frames);
            header.dwBufferLength = frames * kFrameBytes;
            if (m_result.frames == 0)
                m_result.firstWrite = Clock::now();
            if (waveOutWrite(m_device, &header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
                std::fprintf(stderr, "heard_latency: waveOutWrite failed\n");
                return false;
            }
            m_next += frames;
            m_result.frames += frames;
        }
        return true;
    }

    void Fill(char* data, std::uint32_t frames)
    {
        for (std::uint32_t i = 0; i < frames; ++i) {
            const std::uint32_t number = m_next + i + 1;
            const std::int16_t samples[kChannels] = {static_cast<std::int16_t>(number & kLowMask),
                                                     static_cast<std::int16_t>(number >> kLowBits)};
            std::memcpy(data + i * kFrameBytes, samples, kFrameBytes);
        }
    }

    bool AllDone() const
    {
        return std::none_of(m_headers.begin(), m_headers.end(),
                            [](const WAVEHDR& h) { return (h.dwFlags & WHDR_INQUEUE) != 0; });
    }

    // Notes the position every millisecond for the given time.
    void Poll(Clock::duration time)
    {
        const Clock::time_point until = Clock::now() + time;
        do {
            MMTIME position;
            position.wType = TIME_SAMPLES;
            waveOutGetPosition(m_device, &position, sizeof(MMTIME));
            m_result.positions.push_back(PositionSample{Clock::now(), position.u.sample});
            std::this_thread::sleep_for(kPoll);
        } while (Clock::now() < until);
    }

    const unsigned m_rate;
    HWAVEOUT m_device = nullptr;
    std::array<WAVEHDR, kBufferCount> m_headers{};
    std::array<std::array<char, kBufferBytes>, kBufferCount> m_data{};
    std::uint32_t m_next;
    Playing m_result;
};

// A frame the sink played, by its number, and when.
struct Heard
{
    std::uint32_t frame = 0;
    Clock::time_point at;
};

std::vector<Heard> HeardFrames(const MonitorRecorder& recorder)
{
    const std::vector<std::int16_t> samples = recorder.Samples();
    std::vector<Heard> heard;
    for (std::size_t i = 0; i + 1 < samples.size(); i += kChannels) {
        const auto low = static_cast<std::uint32_t>(static_cast<std::uint16_t>(samples[i]));
        const auto high = static_cast<std::uint32_t>(static_cast<std::uint16_t>(samples[i + 1]));
        const std::uint32_t number = (low & kLowMask) | (high << kLowBits);
        if (number != 0)
            heard.push_back(Heard{number - 1, recorder.PlayedAt(i / kChannels)});
    }
    return heard;
}

double Quantile(std::vector<double> values, double q)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(q * static_cast<double>(values.size() - 1))];
}

// The first heard frame of the stretch at or after from, and the last before until.
const Heard* FirstHeardAfter(const std::vector<Heard>& heard, const Playing& p, Clock::time_point from)
{
    for (const Heard& h : heard) {
        if (h.frame >= p.firstFrame && h.frame < p.firstFrame + p.frames && h.at >= from)
            return &h;
    }
    return nullptr;
}

const Heard* LastHeardOf(const std::vector<Heard>& heard, const Playing& p, Clock::time_point before)
{
    const Heard* last = nullptr;
    for (const Heard& h : heard) {
        if (h.frame >= p.firstFrame && h.frame < p.firstFrame + p.frames && h.at < before)
            last = &h;
    }
    return last;
}

void PrintPositionErrors(const std::vector<Heard>& heard, const Playing& p, unsigned rate)
{
    // How many frames of the stretch the sink had played by each position reading.
    std::vector<double> errors;
    std::size_t next = 0;
    std::uint32_t played = 0;
    for (const PositionSample& s : p.positions) {
        while (next < heard.size() && heard[next].at <= s.at) {
            const Heard& h = heard[next++];
            if (h.frame >= p.firstFrame && h.frame < p.firstFrame + p.frames)
                played = std::max(played, h.frame - p.firstFrame + 1);
        }
        // While it plays steadily: neither the pause nor the time it takes to be
        // heard to stop and to start again.
        const bool steady = s.at < p.pausedAt || s.at > p.restartedAt + kSettle;
        if (played > 0 && played < p.frames && steady)
            errors.push_back((static_cast<double>(s.frames) - played) * kMsPerSecond / rate);
    }
    std::printf("position_error_ms_median %.2f\n", Median(errors));
    std::printf("position_error_ms_p5 %.2f\n", Quantile(errors, kFifth));
    std::printf("position_error_ms_p95 %.2f\n", Quantile(errors, kNinetyFifth));
    std::printf("position_error_ms_min %.2f\n", Least(errors));
    std::printf("position_error_ms_max %.2f\n", Most(errors));
}

void PrintLossAndRepeats(const std::vector<Heard>& heard, const Playing& p)
{
    std::vector<int> times(p.frames, 0);
    for (const Heard& h : heard) {
        if (h.frame >= p.firstFrame && h.frame < p.firstFrame + p.frames)
            ++times[h.frame - p.firstFrame];
    }
    std::printf("frames_lost %lld\n", static_cast<long long>(std::count(times.begin(), times.end(), 0)));
    std::printf("frames_repeated %lld\n",
                static_cast<long long>(std::count_if(times.begin(), times.end(), [](int n) { return n > 1; })));
}

bool Report(const MonitorRecorder& recorder, const Playing& whole, const Playing& stopped)
{
    const std::vector<Heard> heard = HeardFrames(recorder);
    const Heard* first = FirstHeardAfter(heard, whole, whole.firstWrite);
    const Heard* last = LastHeardOf(heard, whole, Clock::time_point::max());
    const Heard* beforePause = LastHeardOf(heard, whole, whole.restartedAt);
    const Heard* afterRestart = FirstHeardAfter(heard, whole, whole.restartedAt);
    const Heard* beforeStop = LastHeardOf(heard, stopped, Clock::time_point::max());
    if (!first || !last || !beforePause || !afterRestart || !beforeStop) {
        std::fprintf(stderr, "heard_latency: the monitor did not hear what was played\n");
        return false;
    }
    PrintPositionErrors(heard, whole, recorder.Rate());
    std::printf("end_margin_ms %.2f\n", Ms(whole.lastDone - last->at));
    std::printf("first_heard_ms %.2f\n", Ms(first->at - whole.firstWrite));
    std::printf("pause_heard_ms %.2f\n", Ms(beforePause->at - whole.pausedAt));
    std::printf("restart_heard_ms %.2f\n", Ms(afterRestart->at - whole.restartedAt));
    std::printf("stop_heard_ms %.2f\n", Ms(beforeStop->at - stopped.closedAt));
    std::printf("close_ms %.2f\n", stopped.closeMs);
    PrintLossAndRepeats(heard, whole);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : kDefaultSeconds;
    const int rate = argc > 2 ? std::atoi(argv[2]) : static_cast<int>(kDefaultRate);
    if (argc > 3 || seconds <= 1 || rate < kMinimumRate) {
        std::fprintf(stderr, "usage: %s [SECONDS [RATE]]\n", argv[0]);
        return kExitUsage;
    }
    setenv("VELLUMDECK_AUDIO", "sdl", 0);
    setenv("SDL_AUDIODRIVER", "pulseaudio", 0);
    QCoreApplication app(argc, argv);
    // A settings file of its own: the stored volume of a real run must not scale the
    // frame numbers.
    QTemporaryDir settings;
    Registry::SetFilePath(QDir(settings.path()).filePath(QStringLiteral("registry.ini")));

    MonitorRecorder recorder;
    std::string error;
    const char* sink = std::getenv("PULSE_SINK");
    const std::string monitor = sink != nullptr && *sink != '\0' ? std::string(sink) + ".monitor" : "";
    if (!recorder.Start(monitor, static_cast<unsigned>(rate), kChannels, error)) {
        std::fprintf(stderr, "heard_latency: %s\n", error.c_str());
        return kExitFailed;
    }
    const auto frames = static_cast<std::uint32_t>(seconds * rate);
    Player whole(static_cast<unsigned>(rate), 0);
    if (!whole.Open() || !whole.PlayThrough(frames, true))
        return kExitFailed;
    std::this_thread::sleep_for(kTail);
    whole.Close();
    Player stopped(static_cast<unsigned>(rate), whole.Next());
    if (!stopped.Open() || !stopped.PlayAndStop(frames))
        return kExitFailed;
    std::this_thread::sleep_for(kTail);
    recorder.Stop();
    return Report(recorder, whole.Result(), stopped.Result()) ? 0 : kExitFailed;
}
