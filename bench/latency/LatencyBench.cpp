// SPDX-License-Identifier: GPL-2.0-or-later
// latency_bench: how soon a command to the player thread is heard.
// Usage: latency_bench FILE [OPENS [SEEKS]]
// Runs the player thread on FILE with the audio backend of VELLUMDECK_AUDIO (null,
// in real time, when unset) and times, from the moment the command is posted to the
// moment the first buffer it leads to is written to the wave device:
//   open  WM_PLAYER_OPEN and WM_PLAYER_PLAY posted together, from stopped (OPENS times,
//         each a quarter of a second after the stop that follows a quarter of playing)
//   seek  WM_PLAYER_SEEK to a random place while playing (SEEKS times); the first
//         buffer after the device's reset is the first of the new position
//   tempo WM_PLAYER_TEMPO while playing, 0.7x and back to 1.0x in turn (SEEKS times);
//         what was queued at the old tempo is dropped, so again the first buffer
//         after the reset is the first at the new tempo
// Prints the median and the longest elapsed time of each, and the median processor
// time the player thread spent in between.
//
// This file defines waveOutWrite and waveOutReset itself, so the engine linked into
// it calls these, which note the time and go on to the platform's own.

#include "Message.h"
#include "MessageBox.h"
#include "MessageQueue.h"
#include "PlayerMessages.h"
#include "QueueMessageTarget.h"
#include "Statistics.h"
#include "StderrMessageBoxPresenter.h"
#include "TrackInfo.h"
#include "TuneboxThread.h"
#include "WaveOut.h"

#include <QCoreApplication>

#include <dlfcn.h>
#include <pthread.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

namespace {

constexpr int kExitUsage = 1;
constexpr int kExitFailed = 2;
constexpr int kDefaultOpens = 20;
constexpr int kDefaultSeeks = 30;
constexpr auto kCommandTimeout = std::chrono::seconds(10);
// Playback runs this long between seeks, so each meets a steady stream of refills.
constexpr auto kBetweenSeeks = std::chrono::milliseconds(250);
constexpr int kNotificationWaitMs = 10000;
constexpr WPARAM kSlowTempo = 70;     // hundredths
constexpr WPARAM kNormalTempo = 100;
constexpr unsigned kRandomSeed = 20240601;
constexpr double kNsPerMs = 1e6;
constexpr std::int64_t kNsPerSecond = 1000000000;
constexpr char kWriteSymbol[] = "_Z12waveOutWriteP13WaveOutDeviceP7WAVEHDRj";
constexpr char kResetSymbol[] = "_Z12waveOutResetP13WaveOutDevice";

std::int64_t ClockNs(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return std::int64_t(now.tv_sec) * kNsPerSecond + now.tv_nsec;
}

void* Next(const char* symbol)
{
    void* real = dlsym(RTLD_NEXT, symbol);
    if (real == nullptr) {
        std::fprintf(stderr, "latency_bench: %s not found\n", symbol);
        std::abort();
    }
    return real;
}

// What the device calls have seen since the bench last armed them. Written on the
// player thread, read by the bench's own.
class DeviceWatch
{
public:
    // afterReset: only a write that follows a reset counts.
    void Arm(bool afterReset)
    {
        std::lock_guard lock(m_lock);
        m_needReset = afterReset;
        m_writeNs = 0;
    }

    void OnReset()
    {
        std::lock_guard lock(m_lock);
        m_needReset = false;
    }

    void OnWrite()
    {
        const std::int64_t now = ClockNs(CLOCK_MONOTONIC);
        const std::int64_t cpu = ClockNs(CLOCK_THREAD_CPUTIME_ID);
        if (!m_haveClock) {
            pthread_getcpuclockid(pthread_self(), &m_playerClock);
            m_haveClock = true;
        }
        std::lock_guard lock(m_lock);
        if (m_needReset || m_writeNs != 0)
            return;
        m_writeNs = now;
        m_writeCpuNs = cpu;
        m_written.notify_all();
    }

    // Waits for the write; false on time-out.
    bool WaitForWrite(std::int64_t& writeNs, std::int64_t& writeCpuNs)
    {
        std::unique_lock lock(m_lock);
        if (!m_written.wait_for(lock, kCommandTimeout, [this] { return m_writeNs != 0; }))
            return false;
        writeNs = m_writeNs;
        writeCpuNs = m_writeCpuNs;
        return true;
    }

    // The player thread's processor time; known once it has written once.
    std::int64_t PlayerCpuNs() const { return m_haveClock ? ClockNs(m_playerClock) : 0; }

private:
    std::mutex m_lock;
    std::condition_variable m_written;
    bool m_needReset = false;
    std::int64_t m_writeNs = 0;
    std::int64_t m_writeCpuNs = 0;
    std::atomic<bool> m_haveClock{false};
    clockid_t m_playerClock = CLOCK_MONOTONIC;
};

DeviceWatch g_watch;

struct Samples
{
    std::vector<double> wallMs;
    std::vector<double> cpuMs;
};

class LatencyRun
{
public:
    LatencyRun(tuneboxThread& thread, QueueMessageTarget& notifications, QString path)
        : m_thread(thread), m_notifications(notifications), m_path(std::move(path))
    {
    }

    // Opens and plays once, so the file is in the cache and the thread's clock known.
    bool WarmUp()
    {
        if (!Time([this] { return PostOpenAndPlay(); }, false, nullptr))
            return false;
        return WaitForNotification(WM_PLAYER_TOTAL) && m_durationSeconds > 1;
    }

    bool MeasureOpens(int count, Samples& samples)
    {
        for (int i = 0; i < count; ++i) {
            // Stopped a moment, as a learner's stop and open are: a real device's close
            // plays out for two periods on a thread of its own, and a burst of opens
            // with eight closes still under way waits for one of them.
            std::this_thread::sleep_for(kBetweenSeeks);
            if (!PostThreadMessageW(m_thread.m_nThreadID, WM_PLAYER_STOP, 0, 0) || !WaitForState(PLAYER_STOPPED))
                return false;
            std::this_thread::sleep_for(kBetweenSeeks);
            if (!Time([this] { return PostOpenAndPlay(); }, false, &samples))
                return false;
        }
        return true;
    }

    bool MeasureSeeks(int count, Samples& samples)
    {
        std::mt19937 random(kRandomSeed);
        std::uniform_int_distribution<int> second(1, m_durationSeconds - 1);
        for (int i = 0; i < count; ++i) {
            std::this_thread::sleep_for(kBetweenSeeks);
            const int target = second(random);
            const auto post = [&] {
                return PostThreadMessageW(m_thread.m_nThreadID, WM_PLAYER_SEEK, WPARAM(target), LPARAM(m_durationSeconds));
            };
            if (!Time(post, true, &samples))
                return false;
        }
        return true;
    }

    bool MeasureTempoChanges(int count, Samples& samples)
    {
        for (int i = 0; i < count; ++i) {
            std::this_thread::sleep_for(kBetweenSeeks);
            const WPARAM tempo = i % 2 == 0 ? kSlowTempo : kNormalTempo;
            const auto post = [&] { return PostThreadMessageW(m_thread.m_nThreadID, WM_PLAYER_TEMPO, tempo, 0); };
            if (!Time(post, true, &samples))
                return false;
        }
        // Ends at 1.0x whatever the count.
        return PostThreadMessageW(m_thread.m_nThreadID, WM_PLAYER_TEMPO, kNormalTempo, 0);
    }

private:
    bool PostOpenAndPlay()
    {
        return tuneboxThread::PostOpen(m_thread.m_nThreadID, m_path) &&
               PostThreadMessageW(m_thread.m_nThreadID, WM_PLAYER_PLAY, 0, 0);
    }

    template <typename Post>
    bool Time(Post post, bool afterReset, Samples* samples)
    {
        g_watch.Arm(afterReset);
        const std::int64_t cpuBefore = g_watch.PlayerCpuNs();
        const std::int64_t before = ClockNs(CLOCK_MONOTONIC);
        std::int64_t written = 0;
        std::int64_t cpuWritten = 0;
        if (!post() || !g_watch.WaitForWrite(written, cpuWritten)) {
            std::fprintf(stderr, "latency_bench: no buffer was written after the command\n");
            return false;
        }
        if (samples != nullptr) {
            samples->wallMs.push_back(double(written - before) / kNsPerMs);
            samples->cpuMs.push_back(double(cpuWritten - cpuBefore) / kNsPerMs);
        }
        return true;
    }

    // Takes notifications until one of the kind arrives; false on time-out.
    bool WaitForNotification(UINT kind, WPARAM state = 0)
    {
        Message msg;
        while (m_notifications.Take(msg, kNotificationWaitMs)) {
            if (msg.message == WM_PLAYER_TOTAL)
                m_durationSeconds = tuneboxThread::TakeTrackInfo(msg.wParam)->durationSeconds;
            if (msg.message == kind && (kind != WM_PLAYER_STATE || msg.wParam == state))
                return true;
        }
        return false;
    }

    bool WaitForState(int state) { return WaitForNotification(WM_PLAYER_STATE, WPARAM(state)); }

    tuneboxThread& m_thread;
    QueueMessageTarget& m_notifications;
    QString m_path;
    int m_durationSeconds = 0;
};

void PrintSamples(const char* name, const Samples& samples)
{
    std::printf("%s_wall_ms_median %.2f\n", name, Median(samples.wallMs));
    std::printf("%s_wall_ms_max %.2f\n", name, Most(samples.wallMs));
    std::printf("%s_cpu_ms_median %.2f\n", name, Median(samples.cpuMs));
}

void FreeLeftNotifications(QueueMessageTarget& notifications)
{
    Message msg;
    while (notifications.Take(msg, 0)) {
        if (msg.message == WM_PLAYER_TOTAL)
            tuneboxThread::TakeTrackInfo(msg.wParam);
    }
}

}  // namespace

MMRESULT waveOutWrite(HWAVEOUT device, WAVEHDR* header, UINT size)
{
    using Write = MMRESULT (*)(HWAVEOUT, WAVEHDR*, UINT);
    static const auto real = reinterpret_cast<Write>(Next(kWriteSymbol));
    const MMRESULT result = real(device, header, size);
    if (result == MMSYSERR_NOERROR)
        g_watch.OnWrite();
    return result;
}

MMRESULT waveOutReset(HWAVEOUT device)
{
    using Reset = MMRESULT (*)(HWAVEOUT);
    static const auto real = reinterpret_cast<Reset>(Next(kResetSymbol));
    const MMRESULT result = real(device);
    g_watch.OnReset();
    return result;
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE [OPENS [SEEKS]]\n", argv[0]);
        return kExitUsage;
    }
    setenv("VELLUMDECK_AUDIO", "null", 0);
    QCoreApplication app(argc, argv);
    const QString path = QString::fromLocal8Bit(argv[1]);
    const int opens = argc > 2 ? std::max(1, std::atoi(argv[2])) : kDefaultOpens;
    const int seeks = argc > 3 ? std::max(1, std::atoi(argv[3])) : kDefaultSeeks;

    SetMessageBoxPresenter(std::make_unique<StderrMessageBoxPresenter>());
    QueueMessageTarget notifications;
    tuneboxThread thread;
    thread.m_bAutoDelete = false;
    thread.SetOwner(&notifications);
    if (!thread.CreateThread()) {
        std::fprintf(stderr, "latency_bench: Fail to create thread\n");
        return kExitFailed;
    }
    LatencyRun run(thread, notifications, path);
    Samples openSamples;
    Samples seekSamples;
    Samples tempoSamples;
    const bool measured = run.WarmUp() && run.MeasureOpens(opens, openSamples) && run.MeasureSeeks(seeks, seekSamples) &&
                          run.MeasureTempoChanges(seeks, tempoSamples);
    PostThreadMessageW(thread.m_nThreadID, WM_PLAYER_QUIT, 0, 0);
    thread.WaitForExit();
    FreeLeftNotifications(notifications);
    if (!measured) {
        std::fprintf(stderr, "latency_bench: could not play %s\n", argv[1]);
        return kExitFailed;
    }
    PrintSamples("open", openSamples);
    PrintSamples("seek", seekSamples);
    PrintSamples("tempo", tempoSamples);
    return 0;
}
