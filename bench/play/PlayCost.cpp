// SPDX-License-Identifier: GPL-2.0-or-later
// play_cost: what a player costs while it plays in real time.
// Usage: play_cost [--warmup S] [--window S] [--pace BYTES_PER_SECOND] [--program]
//                  [--also PID] -- COMMAND [ARGUMENTS...]
// Starts COMMAND, lets it settle for the warm-up (default 5 s), then measures over
// the window (default 30 s) and prints:
//   cpu_percent   processor time of all its threads during the window, % of one core
//   peak_rss_kib  its peak resident size (VmHWM) at the end of the window
// --pace: COMMAND writes raw PCM to its standard output, which is read at that many
//   bytes per second; a decoder with no clock of its own is thereby held to real time
//   by the pipe, the way a sound card would hold it.
// --program: run it as the program headless, in a sandbox of its own.
// --also PID: measure that process too over the same window (the sound server the
//   player plays on): also_cpu_percent.
// Exit status 0 when it played through the whole window, 1 on bad usage, 2 otherwise.

#include "ChildProcess.h"
#include "ProgramSandbox.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kExitUsage = 1;
constexpr int kExitFailed = 2;
constexpr double kDefaultWarmupSeconds = 5;
constexpr double kDefaultWindowSeconds = 30;
constexpr auto kTick = std::chrono::milliseconds(10);
constexpr std::size_t kReadChunk = 64 * 1024;
constexpr double kPercent = 100.0;
constexpr double kNsPerSecond = 1e9;

struct Settings
{
    double warmupSeconds = kDefaultWarmupSeconds;
    double windowSeconds = kDefaultWindowSeconds;
    double paceBytesPerSecond = 0;
    bool program = false;
    pid_t also = -1;
    std::vector<std::string> command;
};

std::optional<Settings> ParseArguments(int argc, char** argv)
{
    Settings settings;
    int i = 1;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        const std::string option = argv[i];
        const bool hasValue = i + 1 < argc;
        if (option == "--warmup" && hasValue)
            settings.warmupSeconds = std::atof(argv[++i]);
        else if (option == "--window" && hasValue)
            settings.windowSeconds = std::atof(argv[++i]);
        else if (option == "--pace" && hasValue)
            settings.paceBytesPerSecond = std::atof(argv[++i]);
        else if (option == "--program")
            settings.program = true;
        else if (option == "--also" && hasValue)
            settings.also = static_cast<pid_t>(std::atol(argv[++i]));
        else
            return std::nullopt;
    }
    for (++i; i < argc; ++i)
        settings.command.push_back(argv[i]);
    if (settings.command.empty() || settings.windowSeconds <= 0 || settings.warmupSeconds < 0)
        return std::nullopt;
    return settings;
}

// Reads the child's output at the paced rate, or merely waits when nothing is paced,
// until the given moment. False when the child ended first.
class Listener
{
public:
    Listener(ChildProcess& child, double bytesPerSecond)
        : m_child(child), m_bytesPerSecond(bytesPerSecond), m_buffer(kReadChunk)
    {
    }

    bool RunUntil(std::int64_t endNs)
    {
        while (ChildProcess::MonotonicNs() < endNs) {
            if (!m_child.IsRunning() || !ReadDue())
                return false;
            std::this_thread::sleep_for(kTick);
        }
        return m_child.IsRunning();
    }

private:
    bool ReadDue()
    {
        if (m_bytesPerSecond <= 0)
            return true;
        const double elapsed = double(ChildProcess::MonotonicNs() - m_child.StartNs()) / kNsPerSecond;
        double due = elapsed * m_bytesPerSecond - m_consumed;
        while (due > 0) {
            const std::size_t want = std::min(m_buffer.size(), std::size_t(due));
            const ssize_t got = read(m_child.StdoutFd(), m_buffer.data(), std::max<std::size_t>(want, 1));
            if (got <= 0)
                return false;
            m_consumed += double(got);
            due -= double(got);
        }
        return true;
    }

    ChildProcess& m_child;
    double m_bytesPerSecond;
    double m_consumed = 0;
    std::vector<char> m_buffer;
};

std::int64_t SecondsToNs(double seconds)
{
    return std::int64_t(seconds * kNsPerSecond);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::optional<Settings> settings = ParseArguments(argc, argv);
    if (!settings) {
        std::fprintf(stderr,
                     "usage: %s [--warmup S] [--window S] [--pace BYTES_PER_SECOND] [--program] [--also PID] "
                     "-- COMMAND...\n",
                     argv[0]);
        return kExitUsage;
    }
    ProgramSandbox sandbox;
    ChildProcess::Options options;
    options.command = settings->command;
    options.pipeStdout = settings->paceBytesPerSecond > 0;
    if (settings->program) {
        if (!sandbox.IsValid()) {
            std::fprintf(stderr, "play_cost: no temporary folder for the sandbox\n");
            return kExitFailed;
        }
        options.environment = sandbox.Environment();
    }

    ChildProcess child;
    std::string error;
    if (!child.Start(options, error)) {
        std::fprintf(stderr, "play_cost: %s\n", error.c_str());
        return kExitFailed;
    }
    Listener listener(child, settings->paceBytesPerSecond);
    const std::int64_t windowStart = child.StartNs() + SecondsToNs(settings->warmupSeconds);
    if (!listener.RunUntil(windowStart)) {
        std::fprintf(stderr, "play_cost: %s ended during the warm-up\n", settings->command[0].c_str());
        return kExitFailed;
    }
    const std::int64_t startNs = ChildProcess::MonotonicNs();
    const double startCpu = child.CpuSeconds();
    const double alsoStartCpu = ChildProcess::CpuSecondsOf(settings->also);
    const bool played = listener.RunUntil(startNs + SecondsToNs(settings->windowSeconds));
    const double endCpu = child.CpuSeconds();
    const double alsoEndCpu = ChildProcess::CpuSecondsOf(settings->also);
    const std::int64_t endNs = ChildProcess::MonotonicNs();
    const long peakRss = child.PeakRssKiB();
    child.End();
    if (!played || startCpu < 0 || endCpu < 0) {
        std::fprintf(stderr, "play_cost: %s ended before the window closed\n", settings->command[0].c_str());
        return kExitFailed;
    }
    const double windowSeconds = double(endNs - startNs) / kNsPerSecond;
    std::printf("cpu_percent %.3f\n", kPercent * (endCpu - startCpu) / windowSeconds);
    std::printf("cpu_seconds %.2f\n", endCpu - startCpu);
    std::printf("peak_rss_kib %ld\n", peakRss);
    if (alsoStartCpu >= 0 && alsoEndCpu >= 0)
        std::printf("also_cpu_percent %.3f\n", kPercent * (alsoEndCpu - alsoStartCpu) / windowSeconds);
    return 0;
}
