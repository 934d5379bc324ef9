// SPDX-License-Identifier: GPL-2.0-or-later
#include "ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace {

constexpr auto kGracePeriod = std::chrono::seconds(3);
constexpr auto kReapPoll = std::chrono::milliseconds(10);
// utime and stime are the 14th and 15th fields of /proc/PID/stat; after the command
// name in parentheses the state is the 3rd, so they are the 12th and 13th from there.
constexpr int kFieldsAfterNameToUtime = 11;
constexpr double kNsPerSecond = 1e9;

std::string Name(const std::string& assignment)
{
    return assignment.substr(0, assignment.find('='));
}

// Our environment with the given assignments taking the place of ours.
std::vector<std::string> MergedEnvironment(const std::vector<std::string>& extra)
{
    std::vector<std::string> merged;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string current(*entry);
        bool replaced = false;
        for (const std::string& assignment : extra)
            replaced = replaced || Name(assignment) == Name(current);
        if (!replaced)
            merged.push_back(current);
    }
    merged.insert(merged.end(), extra.begin(), extra.end());
    return merged;
}

std::vector<char*> Pointers(std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (std::string& s : strings)
        pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

ChildProcess::~ChildProcess()
{
    End();
}

std::int64_t ChildProcess::MonotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

bool ChildProcess::Start(const Options& options, std::string& error)
{
    if (options.command.empty()) {
        error = "no command";
        return false;
    }
    int pipeFds[2] = {-1, -1};
    if (options.pipeStdout && pipe2(pipeFds, O_CLOEXEC) != 0) {
        error = std::string("pipe: ") + std::strerror(errno);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (options.pipeStdout)
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    else if (options.quiet)
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    if (options.quiet)
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

    std::vector<std::string> arguments = options.command;
    std::vector<std::string> environment = MergedEnvironment(options.environment);
    std::vector<char*> argv = Pointers(arguments);
    std::vector<char*> envp = Pointers(environment);
    m_startNs = MonotonicNs();
    const int result = posix_spawnp(&m_pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (options.pipeStdout) {
        close(pipeFds[1]);
        m_stdout = pipeFds[0];
    }
    if (result != 0) {
        error = options.command[0] + ": " + std::strerror(result);
        m_pid = -1;
        return false;
    }
    m_reaped = false;
    return true;
}

bool ChildProcess::IsRunning()
{
    if (m_pid < 0 || m_reaped)
        return false;
    int status = 0;
    if (waitpid(m_pid, &status, WNOHANG) == m_pid)
        m_reaped = true;
    return !m_reaped;
}

void ChildProcess::End()
{
    if (m_stdout >= 0) {
        close(m_stdout);
        m_stdout = -1;
    }
    if (!IsRunning())
        return;
    kill(m_pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + kGracePeriod;
    while (IsRunning() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(kReapPoll);
    if (IsRunning()) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        m_reaped = true;
    }
}

namespace {

// The sum of the first field of /proc/PID/task/*/schedstat: nanoseconds on a processor.
double ScheduledSeconds(pid_t pid)
{
    std::error_code error;
    const std::filesystem::path tasks = "/proc/" + std::to_string(pid) + "/task";
    double seconds = 0;
    bool any = false;
    for (const auto& task : std::filesystem::directory_iterator(tasks, error)) {
        std::ifstream in(task.path() / "schedstat");
        unsigned long long ns = 0;
        if (in >> ns) {
            seconds += double(ns) / kNsPerSecond;
            any = true;
        }
    }
    return any ? seconds : -1;
}

}  // namespace

double ChildProcess::CpuSecondsOf(pid_t pid)
{
    if (pid <= 0)
        return -1;
    const double scheduled = ScheduledSeconds(pid);
    if (scheduled >= 0)
        return scheduled;
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(in, line))
        return -1;
    const std::size_t nameEnd = line.rfind(')');
    if (nameEnd == std::string::npos)
        return -1;
    std::istringstream fields(line.substr(nameEnd + 1));
    std::string skipped;
    for (int i = 0; i < kFieldsAfterNameToUtime; ++i)
        fields >> skipped;
    unsigned long long utime = 0;
    unsigned long long stime = 0;
    if (!(fields >> utime >> stime))
        return -1;
    return double(utime + stime) / double(sysconf(_SC_CLK_TCK));
}

long ChildProcess::PeakRssKiB() const
{
    std::ifstream in("/proc/" + std::to_string(m_pid) + "/status");
    std::string line;
    while (m_pid >= 0 && std::getline(in, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(std::strlen("VmHWM:")));
    }
    return -1;
}
