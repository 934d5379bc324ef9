// Recordings named as a shell user names them: relative to the folder the command is
// typed in, with blanks, dots, quotes and long names, to both programs and to the
// program that already runs.

#include "ProgramProcess.h"
#include "SingleInstance.h"
#include "WaitFor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

    // Whether the program, started in folder with argument, plays the recording.
    bool ProgramPlays(const QString& folder, const QString& argument) const
    {
        const QString wav = m_root.Path() + QStringLiteral("/out.wav");
        QFile::remove(wav);
        QProcess program;
        Start(&program, VD_PROGRAM_PATH, Folder(folder), {argument}, "wav:" + wav);
        const bool played = WaitFor([&] { return QFileInfo(wav).size() > kPlayedBytes; }, kWaitMs);
        Stop(&program);
        return played;
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
        {"", "./talk.mp3", "talk.mp3"},
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

TEST_F(ShellPathTest, ProgramAndTheRunningProgramPlayWhatIsNamedRelativeToTheirFolders)
{
    Place(QStringLiteral("lesson.mp3"));
    Place(QStringLiteral("unit 1/talk.mp3"));
    Place(QStringLiteral("x/") + kOddName);
    ASSERT_TRUE(QDir().mkpath(Home() + QStringLiteral("/unit 2")));
    EXPECT_TRUE(ProgramPlays("", "lesson.mp3"));
    EXPECT_TRUE(ProgramPlays("", "unit 1/talk.mp3"));
    EXPECT_TRUE(ProgramPlays("unit 2", "../x/" + kOddName));

    // A second start, from another folder, hands its file to the program that runs.
    const QString wav = m_root.Path() + QStringLiteral("/handed.wav");
    QProcess first;
    Start(&first, VD_PROGRAM_PATH, Folder("unit 1"), {}, "wav:" + wav);
    ASSERT_TRUE(WaitFor([] { return SingleInstance().ActivateRunning(); }, kWaitMs));
    QProcess second;
    Start(&second, VD_PROGRAM_PATH, Folder("unit 2"), {"../x/" + kOddName}, "null");
    EXPECT_TRUE(second.waitForFinished(kWaitMs));
    EXPECT_TRUE(WaitFor([&] { return QFileInfo(wav).size() > kPlayedBytes; }, kWaitMs));
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
    const QString normal = m_root.Path() + QStringLiteral("/normal.wav");
    const QString slow = m_root.Path() + QStringLiteral("/slow.wav");
    ASSERT_EQ(played({QStringLiteral("talk.mp3")}, normal), 0);
    ASSERT_EQ(played({QStringLiteral("--speed"), QStringLiteral("0.7"), QStringLiteral("talk.mp3")}, slow), 0);
    constexpr qint64 kHeader = 44;
    const double ratio = double(QFileInfo(slow).size() - kHeader) / double(QFileInfo(normal).size() - kHeader);
    EXPECT_NEAR(ratio, 1 / 0.7, 0.02);

    const QString refused = m_root.Path() + QStringLiteral("/refused.wav");
    for (const QString& speed : {QStringLiteral("3"), QStringLiteral("0.4"), QStringLiteral("fast")})
        EXPECT_EQ(played({QStringLiteral("--speed"), speed, QStringLiteral("talk.mp3")}, refused), 1) << speed.toStdString();
    EXPECT_FALSE(QFileInfo::exists(refused));
}

}  // namespace
