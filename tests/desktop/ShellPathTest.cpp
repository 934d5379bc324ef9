// SPDX-License-Identifier: GPL-2.0-or-later
// Recordings named as a shell user names them: relative to the folder the command is
// typed in, with blanks, dots, quotes and long names, to both programs and to the
// program that already runs; and that program's door for files handed over later (from
// the file manager, or a second start): only its own requests are taken, and a message
// shown about one does not close it.

#include "ProgramProcess.h"
#include "SingleInstance.h"
#include "WaitFor.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// A name of 200 characters in a folder of 200: a path far past the handheld's limit.
const QString kLongFolder = QString(200, QLatin1Char('f'));
const QString kLongName = QString(196, QLatin1Char('n')) + QStringLiteral(".mp3");
const QString kOddName = QStringLiteral("it's \"Unit\" #1 - caf\u00e9 100% .mp3");

class ShellPathTest : public ProgramProcessFixture
{
protected:
    // The learner's own folder (inside the device folder, where no device path leads).
    QString Home() const { return m_root.Path() + QStringLiteral("/home"); }

    // A copy of a committed recording at a path below the learner's folder.
    void Place(const QString& relative) const
    {
        const QString path = Folder(relative);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
        ASSERT_TRUE(QFile::copy(TestDataPath("speech.mp3"), path)) << path.toStdString();
    }

    QString Folder(const QString& below) const { return Home() + QLatin1Char('/') + below; }

    // The engine tool's output once it has played argument to its end from folder.
    QString Play(const QString& folder, const QString& argument) const
    {
        QProcess tool;
        Start(&tool, VD_PLAY_PATH, Folder(folder), {argument}, "null:50");
        EXPECT_TRUE(tool.waitForFinished(kWaitMs));
        EXPECT_EQ(tool.exitCode(), 0) << argument.toStdString() << ": " << tool.readAllStandardError().toStdString();
        return QString::fromLocal8Bit(tool.readAllStandardOutput());
    }
};

TEST_F(ShellPathTest, ToolPlaysWhatIsNamedRelativeToItsFolder)
{
    for (const QString& relative : {QStringLiteral("talk.mp3"), QStringLiteral("unit 1/talk.mp3"),
                                    QStringLiteral("x/y.mp3"), kLongFolder + QLatin1Char('/') + kLongName, kOddName})
        Place(relative);
    ASSERT_TRUE(QDir().mkpath(Home() + QStringLiteral("/unit 2")));
    const struct
    {
        QString folder;
        QString argument;
        QString played;   // what the tool says it plays, from the learner's folder
    } cases[] = {
        {"", "talk.mp3", "talk.mp3"},
        {"", "unit 1/talk.mp3", "unit 1/talk.mp3"},
        {"unit 2", "../x/y.mp3", "x/y.mp3"},
        {"unit 1", "../" + kLongFolder + "/" + kLongName, kLongFolder + "/" + kLongName},
        {"", kOddName, kOddName},
    };
    for (const auto& named : cases) {
        SCOPED_TRACE(named.argument.toStdString());
        const QString output = Play(named.folder, named.argument);
        EXPECT_TRUE(output.contains(QStringLiteral("item 1 ") + Home() + QLatin1Char('/') + named.played + '\n'))
            << output.toStdString();
        EXPECT_TRUE(output.contains(QStringLiteral("total duration="))) << output.toStdString();
    }
}

// The program makes its arguments absolute as the tool does (the cases above) before it
// opens them or hands them over: here a later start, from a folder of its own, hands its
// file to the program that runs elsewhere.
TEST_F(ShellPathTest, RunningProgramPlaysWhatALaterStartNamesRelativeToItsOwnFolder)
{
    Place(QStringLiteral("x/") + kOddName);
    ASSERT_TRUE(QDir().mkpath(Folder("unit 2")));
    const QString wav = m_root.Path() + QStringLiteral("/handed.wav");
    QProcess first;
    Start(&first, VD_PROGRAM_PATH, Home(), {}, "wav:" + wav);
    ASSERT_TRUE(WaitFor([] { return SingleInstance().ActivateRunning(); }, kWaitMs));
    EXPECT_FALSE(QFileInfo::exists(wav));
    QProcess second;
    Start(&second, VD_PROGRAM_PATH, Folder("unit 2"), {"../x/" + kOddName}, "null");
    EXPECT_TRUE(second.waitForFinished(kWaitMs));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(WaitFor([&] { return QFileInfo(wav).size() > kPlayedBytes; }, kWaitMs));
    EXPECT_EQ(first.state(), QProcess::Running);
    Stop(&first);
}

// The tool's --speed: the recording lasts 1/X as long, pitch kept (checked in the stream's
// own tests); a speed out of range is refused before anything plays.
TEST_F(ShellPathTest, ToolPlaysAtTheSpeedAskedAndRefusesOthers)
{
    Place(QStringLiteral("talk.mp3"));
    const auto played = [&](const QStringList& arguments, const QString& wav) {
        QProcess tool;
        Start(&tool, VD_PLAY_PATH, Home(), arguments, "wav:" + wav);
        EXPECT_TRUE(tool.waitForFinished(kWaitMs));
        return tool.exitCode();
    };
    const QString normal = m_root.Path() + "/normal.wav";
    const QString slow = m_root.Path() + "/slow.wav";
    ASSERT_EQ(played({"talk.mp3"}, normal), 0);
    ASSERT_EQ(played({"--speed", "0.7", "talk.mp3"}, slow), 0);
    constexpr qint64 kHeader = 44;
    const double ratio = double(QFileInfo(slow).size() - kHeader) / double(QFileInfo(normal).size() - kHeader);
    EXPECT_NEAR(ratio, 1 / 0.7, 0.02);

    const QString refused = m_root.Path() + "/refused.wav";
    for (const char* speed : {"3", "0.4", "fast"})
        EXPECT_EQ(played({"--speed", speed, "talk.mp3"}, refused), 1) << speed;
    EXPECT_FALSE(QFileInfo::exists(refused));
}

using HandOverTest = ProgramProcessFixture;

TEST_F(HandOverTest, RequestsThatAreNotOursAreIgnoredAndAnOverlongOneDropped)
{
    SingleInstance running;
    QStringList opened;
    int activations = 0;
    running.SetOpenHandler([&](const QString& commandLine) { opened << commandLine; });
    ASSERT_TRUE(running.Listen([&] { ++activations; }));

    SingleInstance later;
    ASSERT_TRUE(later.ActivateRunning("\"/home/l/Lesson 1\n\xc3\xa9.vds\""));
    ASSERT_TRUE(WaitFor([&] { return activations == 1; }));
    EXPECT_EQ(opened, QStringList{QString::fromUtf8("\"/home/l/Lesson 1\n\xc3\xa9.vds\"")});
    QLocalSocket stranger;
    stranger.connectToServer(SingleInstance::ServerName());
    ASSERT_TRUE(stranger.waitForConnected(kWaitMs));
    stranger.write("hello\nopen \n");
    stranger.write(QByteArray(SingleInstance::kMaxRequestBytes * 2, 'x'));
    stranger.waitForBytesWritten(kWaitMs);
    EXPECT_TRUE(WaitFor([&] { return stranger.state() == QLocalSocket::UnconnectedState; }));
    EXPECT_EQ(opened.size(), 1);
    EXPECT_EQ(activations, 1);
}

// Opening a handed-over file may show a message (a file that cannot be played): the
// learner reads it while the later start that sent the file has ended and hung up.
TEST_F(HandOverTest, RunningProgramWaitingOnAMessageAboutAHandedOverFileLivesOn)
{
    SingleInstance running;
    QEventLoop* message = nullptr;
    QStringList opened;
    int activations = 0;
    running.SetOpenHandler([&](const QString& commandLine) {
        opened << commandLine;
        QEventLoop box;   // as a message box runs one, until the learner answers
        message = &box;
        QTimer::singleShot(kWaitMs, &box, &QEventLoop::quit);
        box.exec();
        message = nullptr;
    });
    ASSERT_TRUE(running.Listen([&] {
        ++activations;
        if (message != nullptr)
            message->quit();
    }));
    SingleInstance later;
    ASSERT_TRUE(later.ActivateRunning("\"/home/l/empty.mp3\""));
    ASSERT_TRUE(WaitFor([&] { return activations == 1; }));
    EXPECT_EQ(opened, QStringList{"\"/home/l/empty.mp3\""});
    // And it still answers the next start.
    ASSERT_TRUE(SingleInstance().ActivateRunning("\"/home/l/b.mp3\""));
    EXPECT_TRUE(WaitFor([&] { return activations == 2; }));
    EXPECT_EQ(opened.size(), 2);
}

}  // namespace
