// SPDX-License-Identifier: GPL-2.0-or-later
#include "ChildProcess.h"
#include "ProgramSandbox.h"
#include "Statistics.h"
#include "WaitFor.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Well above what a sleeping process uses, well below what a spinning one reaches.
constexpr double kSomeCpuSeconds = 0.05;

bool Start(ChildProcess& child, std::vector<std::string> command, bool pipeStdout = false,
           std::vector<std::string> environment = {})
{
    ChildProcess::Options options;
    options.command = std::move(command);
    options.environment = std::move(environment);
    options.pipeStdout = pipeStdout;
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
    // A name that merely starts like another must not replace it.
    ASSERT_TRUE(Start(child, {"sh", "-c", "printf '%s|%s|%s' \"$VDBENCH_KEPT\" \"$VDBENCH_SHADOWED\" \"$VDBENCH_NEW\""},
                      true, {"VDBENCH_SHADOWED=theirs", "VDBENCH_NEW=new", "VDBENCH_KE=x"}));
    std::string text;
    char buffer[256];
    for (ssize_t got; (got = read(child.StdoutFd(), buffer, sizeof buffer)) > 0;)
        text.append(buffer, std::size_t(got));
    EXPECT_EQ(text, "kept|theirs|new");
}

TEST(ChildProcessTest, ProgramThatDoesNotExistIsReportedNotStartedAndOneThatEndsIsNotRunning)
{
    ChildProcess missing;
    ChildProcess::Options options;
    options.command = {"/nonexistent/vellumdeck-bench-nothing"};
    std::string error;
    EXPECT_FALSE(missing.Start(options, error));
    EXPECT_NE(error.find("vellumdeck-bench-nothing"), std::string::npos) << error;
    EXPECT_FALSE(missing.IsRunning());
    EXPECT_FALSE(ChildProcess().Start({}, error));

    ChildProcess ended;
    ASSERT_TRUE(Start(ended, {"true"}));
    EXPECT_TRUE(WaitFor([&] { return !ended.IsRunning(); }));
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
    ASSERT_TRUE(Start(spinning, {oddName, "-c", "while :; do :; done"}));
    ASSERT_TRUE(Start(sleeping, {"sleep", "60"}));
    EXPECT_TRUE(WaitFor([&] { return spinning.CpuSeconds() > kSomeCpuSeconds; })) << spinning.CpuSeconds();
    EXPECT_GE(sleeping.CpuSeconds(), 0);
    EXPECT_LT(sleeping.CpuSeconds(), kSomeCpuSeconds);
    EXPECT_GT(spinning.PeakRssKiB(), 0);
}

TEST(ChildProcessTest, EndForcesAChildThatIgnoresTheRequestAndReapsIt)
{
    ChildProcess child;
    // An ignored signal stays ignored across exec.
    ASSERT_TRUE(Start(child, {"sh", "-c", "trap '' TERM; echo ready; exec sleep 60"}, true));
    char ready[6] = {};
    ASSERT_EQ(read(child.StdoutFd(), ready, 5), 5);   // the request is ignored from here on
    const pid_t pid = child.Pid();
    child.End();
    EXPECT_FALSE(child.IsRunning());
    EXPECT_NE(access(("/proc/" + std::to_string(pid)).c_str(), F_OK), 0) << "left as a zombie";
    EXPECT_LT(child.CpuSeconds(), 0);
    child.End();   // a second end is harmless
}

TEST(ProgramSandboxTest, PointsTheProgramIntoAFolderThatGoesWithEverythingInIt)
{
    std::string folder;
    {
        ProgramSandbox sandbox;
        ASSERT_TRUE(sandbox.IsValid());
        folder = sandbox.Folder();
        for (const std::string& assignment : sandbox.Environment()) {
            if (assignment.rfind("QT_QPA_PLATFORM=", 0) != 0) {
                EXPECT_NE(assignment.find("=" + folder), std::string::npos) << assignment;
            }
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
}

}  // namespace
