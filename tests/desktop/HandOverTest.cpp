// A file opened while the program runs (from the file manager, or a second start from a
// terminal) is handed to the running program, which plays it; the second start ends.

#include "ProgramProcess.h"
#include "WaitFor.h"
#include "SingleInstance.h"

#include <QFile>
#include <QFileInfo>
#include <QEventLoop>
#include <QLocalSocket>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using HandOverTest = ProgramProcessFixture;

TEST_F(HandOverTest, SecondStartHandsItsFileToTheRunningProgramWhichPlaysIt)
{
    QFile::copy(TestDataPath("speech.mp3"), m_root.Path() + "/handed over.mp3");
    const QString wav = m_root.Path() + "/out.wav";
    QProcess first;
    Start(&first, VD_PROGRAM_PATH, m_root.Path(), {}, "wav:" + wav);
    ASSERT_TRUE(WaitFor([] { return SingleInstance().ActivateRunning(); }));
    EXPECT_FALSE(QFileInfo::exists(wav));
    // Named relative to the second start's folder, as from a terminal.
    QProcess second;
    Start(&second, VD_PROGRAM_PATH, m_root.Path(), {"handed over.mp3"}, "null");
    ASSERT_TRUE(second.waitForFinished(kWaitMs));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(WaitFor([&] { return QFileInfo(wav).size() > kPlayedBytes; }));
    EXPECT_EQ(first.state(), QProcess::Running);
    Stop(&first);
}

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
    ASSERT_TRUE(WaitFor([&] { return activations == 1; }, kWaitMs));
    EXPECT_EQ(opened, QStringList{"\"/home/l/empty.mp3\""});
    // And it still answers the next start.
    ASSERT_TRUE(SingleInstance().ActivateRunning("\"/home/l/b.mp3\""));
    EXPECT_TRUE(WaitFor([&] { return activations == 2; }, kWaitMs));
    EXPECT_EQ(opened.size(), 2);
}

}  // namespace
