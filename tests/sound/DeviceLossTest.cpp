// SPDX-License-Identifier: GPL-2.0-or-later
#include "PlayTool.h"
#include "SoundServer.h"
#include "TempDeviceRoot.h"
#include "WaitFor.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

constexpr int kWaitMs = 20000;
constexpr char kNoDevice[] = "No audio output device could be opened.";

// How the server ends: "Killed" as a crash would, or "Terminated" as at logout.
using DeviceLossTest = ::testing::TestWithParam<std::string>;

// The sound server goes away while the engine tool plays on it (killed as a crash
// would, or ended as a logout does): the learner is told once, the player stops
// rather than running on in silence, and the tool ends without hanging.
TEST_P(DeviceLossTest, ServerGoneWhilePlayingIsToldOnceAndNothingHangs)
{
    SoundServer server;
    QString reason;
    if (!server.StartOwn(reason))
        GTEST_SKIP() << reason.toStdString();
    ASSERT_TRUE(server.AddSink(22050, 1, reason)) << reason.toStdString();
    PlayTool tool;
    ASSERT_TRUE(tool.Start(TestDataPath(QStringLiteral("speech-22050.mp3")),
                           server.Environment() << QStringLiteral("VELLUMDECK_AUDIO=sdl")));
    // Some way in: a position past the first second has been told.
    const QRegularExpression pastTheStart(QStringLiteral("position [1-9]"));
    ASSERT_TRUE(WaitFor([&] { return tool.Output().contains(pastTheStart); }, kWaitMs))
        << tool.Output().toStdString() << tool.Errors().toStdString();
    server.End(GetParam() == "Killed");

    ASSERT_TRUE(tool.Finish(kWaitMs)) << "the tool still runs: " << tool.Output().toStdString();
    const QString errors = tool.Errors();
    EXPECT_EQ(errors.count(QLatin1String(kNoDevice)), 1) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QStringLiteral("went away"))) << errors.toStdString();
    EXPECT_TRUE(tool.Output().contains(QStringLiteral("state STOPPED"))) << tool.Output().toStdString();
    EXPECT_FALSE(tool.Output().contains(QStringLiteral("state ENDED")));
    EXPECT_EQ(tool.ExitCode(), 2);
}

INSTANTIATE_TEST_SUITE_P(Endings, DeviceLossTest, ::testing::Values("Killed", "Terminated"),
                         [](const auto& info) { return info.param; });

}  // namespace
