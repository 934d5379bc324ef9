// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A program started by a benchmark: spawned with extra environment, watched through
// /proc while it runs, and ended by the benchmark. Clock readings are CLOCK_MONOTONIC,
// which every process on the machine shares, so a child's own marks compare with them.

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

class ChildProcess
{
public:
    struct Options
    {
        std::vector<std::string> command;       // program and its arguments
        std::vector<std::string> environment;   // NAME=VALUE added to ours
        bool pipeStdout = false;                // read its output through StdoutFd()
        bool quiet = true;                      // its stdout and stderr go to /dev/null
    };

    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts it; false (with the reason in error) when it could not be started.
    bool Start(const Options& options, std::string& error);
    // Asks it to end (SIGTERM), then forces it after a grace period, and reaps it.
    void End();
    // False once it has ended of its own accord.
    bool IsRunning();

    pid_t Pid() const { return m_pid; }
    int StdoutFd() const { return m_stdout; }
    std::int64_t StartNs() const { return m_startNs; }

    // Processor time used so far by all its threads, in seconds; negative when gone.
    double CpuSeconds() const { return CpuSecondsOf(m_pid); }
    // The same for any process: to the nanosecond from the scheduler's account of
    // each thread where the kernel keeps one, else in clock ticks.
    static double CpuSecondsOf(pid_t pid);
    // Its peak resident size so far (VmHWM) in KiB; negative when gone.
    long PeakRssKiB() const;

    static std::int64_t MonotonicNs();

private:
    pid_t m_pid = -1;
    int m_stdout = -1;
    std::int64_t m_startNs = 0;
    bool m_reaped = false;
};
