#include "ChildProcess.h"
#include "ProgramSandbox.h"
#include "Statistics.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr auto kPatience = std::chrono::seconds(20);
constexpr auto kPoll = std::chrono::milliseconds(20);
// Well above what a sleeping process uses, well below what a spinning one reaches.
constexpr double kSomeCpuSeconds = 0.05;

bool Eventually(const std::function<bool()>& condition)
{
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(kPoll);
    }
    return true;
}

std::string ReadAll(int fd)
{
    std::string text;
    char buffer[256];
    for (ssize_t got; (got = read(fd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, std::size_t(got));
    return text;
}

ChildProcess::Options Command(std::vector<std::string> command)
{
    ChildProcess::Options options;
    options.command = std::move(command);
    return options;
}

bool Start(ChildProcess& child, const ChildProcess::Options& options)
{
    std::string error;
    const bool started = child.Start(options, error);
    EXPECT_TRUE(started) << error;
    return started;
}

TEST(ChildProcessTest, EnvironmentAddsNamesAndReplacesOnlyTheSameName)
{
    setenv("VDBENCH_KEPT", "kept", 1);
    setenv("VDBENCH_SHADOWED", "ours", 1);
    ChildProcess child;
    ChildProcess::Options options;
    options.command = {"sh", "-c", "printf '%s|%s|%s' \"$VDBENCH_KEPT\" \"$VDBENCH_SHADOWED\" \"$VDBENCH_NEW\""};
    // A name that merely starts like another must not replace it.
    options.environment = {"VDBENCH_SHADOWED=theirs", "VDBENCH_NEW=new", "VDBENCH_KE=x"};
    options.pipeStdout = true;
    ASSERT_TRUE(Start(child, options));
    EXPECT_EQ(ReadAll(child.StdoutFd()), "kept|theirs|new");
}

TEST(ChildProcessTest, ProgramThatDoesNotExistIsReportedNotStarted)
{
    ChildProcess child;
    ChildProcess::Options options;
    options.command = {"/nonexistent/vellumdeck-bench-nothing"};
    std::string error;
    EXPECT_FALSE(child.Start(options, error));
    EXPECT_NE(error.find("vellumdeck-bench-nothing"), std::string::npos) << error;
    EXPECT_FALSE(child.IsRunning());
    EXPECT_FALSE(ChildProcess().Start({}, error));
}

// The processor time comes from /proc/PID/stat, whose command-name field may itself
// hold spaces and parentheses.
TEST(ChildProcessTest, ProcessorTimeCountsASpinningChildAndNotASleepingOne)
{
    ProgramSandbox folder;
    ASSERT_TRUE(folder.IsValid());
    const std::string oddName = folder.Folder() + "/spin) (x";
    std::filesystem::copy_file("/bin/sh", oddName);
    std::filesystem::permissions(oddName, std::filesystem::perms::owner_all);

    ChildProcess spinning;
    ChildProcess sleeping;
    ASSERT_TRUE(Start(spinning, Command({oddName, "-c", "while :; do :; done"})));
    ASSERT_TRUE(Start(sleeping, Command({"sleep", "60"})));
    EXPECT_TRUE(Eventually([&] { return spinning.CpuSeconds() > kSomeCpuSeconds; })) << spinning.CpuSeconds();
    EXPECT_GE(sleeping.CpuSeconds(), 0);
    EXPECT_LT(sleeping.CpuSeconds(), kSomeCpuSeconds);
    EXPECT_GT(spinning.PeakRssKiB(), 0);
}

TEST(ChildProcessTest, EndForcesAChildThatIgnoresTheRequestAndReapsIt)
{
    ChildProcess child;
    // An ignored signal stays ignored across exec.
    ChildProcess::Options options = Command({"sh", "-c", "trap '' TERM; echo ready; exec sleep 60"});
    options.pipeStdout = true;
    ASSERT_TRUE(Start(child, options));
    char ready[6] = {};
    ASSERT_EQ(read(child.StdoutFd(), ready, 5), 5);   // the request is ignored from here on
    const pid_t pid = child.Pid();
    child.End();
    EXPECT_FALSE(child.IsRunning());
    EXPECT_NE(access(("/proc/" + std::to_string(pid)).c_str(), F_OK), 0) << "left as a zombie";
    EXPECT_LT(child.CpuSeconds(), 0);
    child.End();   // a second end is harmless
}

TEST(ChildProcessTest, ChildThatEndedByItselfIsNotRunning)
{
    ChildProcess child;
    ASSERT_TRUE(Start(child, Command({"true"})));
    EXPECT_TRUE(Eventually([&] { return !child.IsRunning(); }));
}

TEST(ProgramSandboxTest, PointsTheProgramIntoAFolderThatGoesWithEverythingInIt)
{
    std::string folder;
    {
        ProgramSandbox sandbox;
        ASSERT_TRUE(sandbox.IsValid());
        folder = sandbox.Folder();
        EXPECT_TRUE(std::filesystem::is_directory(folder + "/device"));
        for (const std::string& assignment : sandbox.Environment()) {
            if (assignment.rfind("QT_QPA_PLATFORM=", 0) == 0)
                EXPECT_EQ(assignment, "QT_QPA_PLATFORM=offscreen");
            else
                EXPECT_NE(assignment.find("=" + folder), std::string::npos) << assignment;
        }
        std::filesystem::create_directories(folder + "/device/My documents");
        std::ofstream(folder + "/device/My documents/a.vdm") << "bookmarks";
    }
    EXPECT_FALSE(std::filesystem::exists(folder));
}

TEST(StatisticsTest, MedianOfUnsortedOddAndEvenCounts)
{
    EXPECT_DOUBLE_EQ(Median({5, 1, 3}), 3);
    EXPECT_DOUBLE_EQ(Median({4, 1, 3, 2}), 2.5);
    EXPECT_DOUBLE_EQ(Median({}), 0);
    EXPECT_DOUBLE_EQ(Least({4, 1, 3}), 1);
    EXPECT_DOUBLE_EQ(Most({4, 1, 3}), 4);
}

}  // namespace
