// SPDX-License-Identifier: GPL-2.0-or-later
// start_time: how long the program takes to start.
// Usage: start_time [--runs N] [--timeout S] [--probe PROBE.so] --mark NAME -- COMMAND...
// Runs COMMAND N times (default 5), each as the program headless in a fresh sandbox
// with the probe preloaded, and times each run from just before it is spawned to the
// probe's mark NAME ("frame": the main window's first frame; "buffer": the first
// buffer written to the wave device). Prints, over the runs:
//   wall_ms_median, wall_ms_min  elapsed time to the mark
//   cpu_ms_median                the program's processor time to the mark (all threads);
//                                other load on the machine hardly changes it
// Exit status 0 when every run reached the mark, 1 on bad usage, 2 otherwise.

#include "ChildProcess.h"
#include "ProgramSandbox.h"
#include "Statistics.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kExitUsage = 1;
constexpr int kExitFailed = 2;
constexpr int kDefaultRuns = 5;
constexpr double kDefaultTimeoutSeconds = 20;
constexpr auto kPoll = std::chrono::milliseconds(1);
constexpr double kNsPerMs = 1e6;
constexpr char kMarksFile[] = "/marks";

struct Settings
{
    int runs = kDefaultRuns;
    double timeoutSeconds = kDefaultTimeoutSeconds;
    std::string probe = VD_BENCH_PROBE;
    std::string mark;
    std::vector<std::string> command;
};

struct Sample
{
    double wallMs = 0;
    double cpuMs = 0;
};

std::optional<Settings> ParseArguments(int argc, char** argv)
{
    Settings settings;
    int i = 1;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        const std::string option = argv[i];
        const bool hasValue = i + 1 < argc;
        if (option == "--runs" && hasValue)
            settings.runs = std::atoi(argv[++i]);
        else if (option == "--timeout" && hasValue)
            settings.timeoutSeconds = std::atof(argv[++i]);
        else if (option == "--probe" && hasValue)
            settings.probe = argv[++i];
        else if (option == "--mark" && hasValue)
            settings.mark = argv[++i];
        else
            return std::nullopt;
    }
    for (++i; i < argc; ++i)
        settings.command.push_back(argv[i]);
    if (settings.command.empty() || settings.mark.empty() || settings.runs < 1)
        return std::nullopt;
    return settings;
}

// The mark's line in the marks file: its clock and the process's processor time.
bool FindMark(const std::string& path, const std::string& name, std::int64_t& wallNs, std::int64_t& cpuNs)
{
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string found;
        long long wall = 0;
        long long cpu = 0;
        if (fields >> found >> wall >> cpu && found == name) {
            wallNs = wall;
            cpuNs = cpu;
            return true;
        }
    }
    return false;
}

std::optional<Sample> RunOnce(const Settings& settings)
{
    ProgramSandbox sandbox;
    if (!sandbox.IsValid()) {
        std::fprintf(stderr, "start_time: no temporary folder for the sandbox\n");
        return std::nullopt;
    }
    const std::string marks = sandbox.Folder() + kMarksFile;
    ChildProcess::Options options;
    options.command = settings.command;
    options.environment = sandbox.Environment();
    options.environment.push_back("LD_PRELOAD=" + settings.probe);
    options.environment.push_back("VELLUMDECK_BENCH_MARKS=" + marks);

    ChildProcess child;
    std::string error;
    if (!child.Start(options, error)) {
        std::fprintf(stderr, "start_time: %s\n", error.c_str());
        return std::nullopt;
    }
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                              std::chrono::duration<double>(settings.timeoutSeconds));
    std::int64_t wallNs = 0;
    std::int64_t cpuNs = 0;
    while (!FindMark(marks, settings.mark, wallNs, cpuNs)) {
        if (!child.IsRunning() || std::chrono::steady_clock::now() > deadline) {
            std::fprintf(stderr, "start_time: %s never reached the mark '%s'\n", settings.command[0].c_str(),
                         settings.mark.c_str());
            return std::nullopt;
        }
        std::this_thread::sleep_for(kPoll);
    }
    child.End();
    return Sample{double(wallNs - child.StartNs()) / kNsPerMs, double(cpuNs) / kNsPerMs};
}

}  // namespace

int main(int argc, char** argv)
{
    const std::optional<Settings> settings = ParseArguments(argc, argv);
    if (!settings) {
        std::fprintf(stderr, "usage: %s [--runs N] [--timeout S] [--probe PROBE.so] --mark frame|buffer -- COMMAND...\n",
                     argv[0]);
        return kExitUsage;
    }
    std::vector<double> wall;
    std::vector<double> cpu;
    for (int run = 0; run < settings->runs; ++run) {
        const std::optional<Sample> sample = RunOnce(*settings);
        if (!sample)
            return kExitFailed;
        wall.push_back(sample->wallMs);
        cpu.push_back(sample->cpuMs);
    }
    std::printf("wall_ms_median %.1f\n", Median(wall));
    std::printf("wall_ms_min %.1f\n", Least(wall));
    std::printf("cpu_ms_median %.1f\n", Median(cpu));
    return 0;
}
