// SPDX-License-Identifier: GPL-2.0-or-later
// Loaded into the program with LD_PRELOAD by start_time; the program itself knows
// nothing of it. It stands in front of two library calls and, the first time each
// happens, appends a line "NAME MONOTONIC_NS PROCESS_CPU_NS" to the file named by
// VELLUMDECK_BENCH_MARKS:
//   frame   the main window ("Vellumdeck") flushed to the screen: its first frame
//   buffer  the first buffer written to the wave device
// Every call then goes on to the real function.

#include "WaveOut.h"

#include <QBackingStore>
#include <QPoint>
#include <QRegion>
#include <QString>
#include <QWindow>

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

constexpr char kMarksVariable[] = "VELLUMDECK_BENCH_MARKS";
constexpr char kMainWindowTitle[] = "Vellumdeck";
constexpr char kFlushSymbol[] = "_ZN13QBackingStore5flushERK7QRegionP7QWindowRK6QPoint";
constexpr char kFlushVersion[] = "Qt_6";
constexpr char kWriteSymbol[] = "_Z12waveOutWriteP13WaveOutDeviceP7WAVEHDRj";
constexpr std::int64_t kNsPerSecond = 1000000000;

std::int64_t ClockNs(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return std::int64_t(now.tv_sec) * kNsPerSecond + now.tv_nsec;
}

// Appends one mark; a single write, so marks from two threads never interleave.
void Mark(const char* name)
{
    const std::int64_t wallNs = ClockNs(CLOCK_MONOTONIC);
    const std::int64_t cpuNs = ClockNs(CLOCK_PROCESS_CPUTIME_ID);
    const char* path = std::getenv(kMarksVariable);
    if (path == nullptr)
        return;
    char line[128];
    const int length = std::snprintf(line, sizeof line, "%s %lld %lld\n", name, static_cast<long long>(wallNs),
                                     static_cast<long long>(cpuNs));
    const int fd = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    [[maybe_unused]] const ssize_t written = write(fd, line, std::size_t(length));
    close(fd);
}

void MarkOnce(std::atomic<bool>& done, const char* name)
{
    if (!done.exchange(true))
        Mark(name);
}

// The real function behind ours; without it the probe cannot work at all.
void* Next(const char* symbol, const char* version)
{
    void* real = version ? dlvsym(RTLD_NEXT, symbol, version) : dlsym(RTLD_NEXT, symbol);
    if (real == nullptr) {
        std::fprintf(stderr, "vellumdeck bench probe: %s not found\n", symbol);
        std::abort();
    }
    return real;
}

std::atomic<bool> g_framed{false};
std::atomic<bool> g_buffered{false};

}  // namespace

void QBackingStore::flush(const QRegion& region, QWindow* window, const QPoint& offset)
{
    using Flush = void (*)(QBackingStore*, const QRegion&, QWindow*, const QPoint&);
    static const auto real = reinterpret_cast<Flush>(Next(kFlushSymbol, kFlushVersion));
    real(this, region, window, offset);
    QWindow* shown = window != nullptr ? window : this->window();
    if (shown != nullptr && shown->title() == QLatin1String(kMainWindowTitle))
        MarkOnce(g_framed, "frame");
}

MMRESULT waveOutWrite(HWAVEOUT device, WAVEHDR* header, UINT size)
{
    using Write = MMRESULT (*)(HWAVEOUT, WAVEHDR*, UINT);
    static const auto real = reinterpret_cast<Write>(Next(kWriteSymbol, nullptr));
    const MMRESULT result = real(device, header, size);
    if (result == MMSYSERR_NOERROR)
        MarkOnce(g_buffered, "buffer");
    return result;
}
