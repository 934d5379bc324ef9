// SPDX-License-Identifier: GPL-2.0-or-later
// The command line in the desktop's convention.

#include "ProgramOptions.h"

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
        {{"--audio", "null:fast"}, "--audio takes"},   // refused by the backends' own judge
        {{"--audio="}, "--audio takes"},
        {{"--root", "/no/such/folder/here"}, "no such folder"},
    };
    for (const auto& bad : cases) {
        const ProgramOptions options = Parse(bad.arguments);
        EXPECT_EQ(options.GetOutcome(), ProgramOptions::Outcome::Error) << bad.named;
        EXPECT_TRUE(options.Message().contains(QLatin1String(bad.named))) << options.Message().toStdString();
        EXPECT_TRUE(options.Message().contains("--help")) << bad.named;
    }
}

}  // namespace
