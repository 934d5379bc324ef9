// SPDX-License-Identifier: GPL-2.0-or-later
// The command line in the desktop's convention, and the plain path that must keep
// working as it always has.

#include "ProgramOptions.h"

#include "AudioBackend.h"
#include "CommandLine.h"
#include "DevicePath.h"
#include "VellumdeckView.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

ProgramOptions Parse(const QStringList& arguments)
{
    return ProgramOptions::Parse(arguments, QStringLiteral("1.2.3"));
}

TEST(ProgramOptionsTest, OptionsTakeTheirValuesInBothSpellingsAndLeaveTheFilesAndQtsOptions)
{
    QTemporaryDir root;
    const ProgramOptions options = Parse({"--zoom", "3", "--audio=wav:/tmp/a:b.wav:2", "-platform", "offscreen",
                                          "-reverse", "-style=fusion", "--root", root.path(), "/home/l/Lesson 1.vds"});
    ASSERT_EQ(options.GetOutcome(), ProgramOptions::Outcome::Run) << options.Message().toStdString();
    EXPECT_EQ(options.Zoom(), 3);
    EXPECT_EQ(options.Audio(), "wav:/tmp/a:b.wav:2");
    EXPECT_EQ(options.Root(), root.path());
    EXPECT_EQ(options.Files(), QStringList{"/home/l/Lesson 1.vds"});
    // A double dash ends the options, for a file whose name starts with one.
    const ProgramOptions dashed = Parse({"--", "--zoom", "-x.mp3"});
    ASSERT_EQ(dashed.GetOutcome(), ProgramOptions::Outcome::Run);
    EXPECT_EQ(dashed.Files(), (QStringList{"--zoom", "-x.mp3"}));
    EXPECT_EQ(dashed.Zoom(), 0);
}

TEST(ProgramOptionsTest, PathsWithBackslashesAndBlanksReachTheViewAsBefore)
{
    for (const QString& path : {QStringLiteral("\\My documents\\Vellumdeck Data\\a.vds"),
                                QStringLiteral("/home/l/b c.mp3"), QStringLiteral("relative.vdl")}) {
        const ProgramOptions options = Parse({path});
        ASSERT_EQ(options.GetOutcome(), ProgramOptions::Outcome::Run);
        CommandLine::SetArguments(options.Files());
        EXPECT_EQ(CVellumdeckView::PathFromCommandLine(CommandLine::GetCommandLineW()), path);
    }
    CommandLine::SetArguments({});
}

TEST(ProgramOptionsTest, HelpAndVersionEndAtOnceAndBadCommandLinesFailNamingTheFault)
{
    const ProgramOptions help = Parse({"a.mp3", "--help", "--bogus"});
    EXPECT_EQ(help.GetOutcome(), ProgramOptions::Outcome::Exit);
    EXPECT_TRUE(help.Message().contains("--zoom N"));
    EXPECT_EQ(Parse({"--version"}).Message(), "vellumdeck 1.2.3\n");
    const struct { QStringList arguments; const char* named; } cases[] = {
        {{"-q"}, "unknown option '-q'"},
        {{"--zoom", "9"}, "--zoom takes a whole number from 1 to 8"},
        {{"--zoom=two"}, "not 'two'"},
        {{"--zoom"}, "option '--zoom' needs a value"},
        {{"--audio", "null:fast"}, "--audio takes"},
        {{"--audio=wav:"}, "--audio takes"},
        {{"--audio=wav::2"}, "--audio takes"},   // a speed, but no file
        {{"--audio="}, "--audio takes"},
        {{"--audio", "pulse"}, "--audio takes"},
        {{"--root", "/no/such/folder/here"}, "no such folder"},
    };
    for (const auto& bad : cases) {
        const ProgramOptions options = Parse(bad.arguments);
        EXPECT_EQ(options.GetOutcome(), ProgramOptions::Outcome::Error) << bad.named;
        EXPECT_TRUE(options.Message().contains(QLatin1String(bad.named))) << options.Message().toStdString();
        EXPECT_TRUE(options.Message().contains("--help")) << bad.named;
    }
}

// The services hold what the options chose; the environment is left alone and is
// what they read when an option is not given.
TEST(ProgramOptionsTest, AudioAndRootReachTheirServicesAndTheEnvironmentServesWithoutThem)
{
    QTemporaryDir optionRoot;
    QTemporaryDir environmentRoot;
    const QByteArray audioBefore = qgetenv("VELLUMDECK_AUDIO");
    const QByteArray rootBefore = qgetenv("VELLUMDECK_ROOT");
    qputenv("VELLUMDECK_AUDIO", "null:50");
    qputenv("VELLUMDECK_ROOT", QFile::encodeName(environmentRoot.path()));

    Parse({"a.mp3"}).Apply();
    EXPECT_EQ(AudioBackend::Setting(), "null:50");
    EXPECT_EQ(DevicePath::Root(), environmentRoot.path());

    Parse({"--audio", "wav:/tmp/x.wav:2", "--root", optionRoot.path()}).Apply();
    EXPECT_EQ(AudioBackend::Setting(), "wav:/tmp/x.wav:2");
    EXPECT_EQ(DevicePath::Root(), optionRoot.path());
    EXPECT_EQ(DevicePath::ToHost("\\My documents\\a.vds"), optionRoot.path() + "/My documents/a.vds");
    EXPECT_EQ(qgetenv("VELLUMDECK_AUDIO"), "null:50");
    EXPECT_EQ(qEnvironmentVariable("VELLUMDECK_ROOT"), environmentRoot.path());

    AudioBackend::SetSetting({});
    DevicePath::SetRoot({});
    qputenv("VELLUMDECK_AUDIO", audioBefore);
    if (rootBefore.isEmpty())
        qunsetenv("VELLUMDECK_ROOT");
    else
        qputenv("VELLUMDECK_ROOT", rootBefore);
}

}  // namespace
