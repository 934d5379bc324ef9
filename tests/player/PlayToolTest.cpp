#include "Dither.h"
#include "Mp3Decoder.h"
#include "TempDeviceRoot.h"
#include "WaveOutput.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

constexpr int kRunMs = 60000;

struct ToolRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

// The samples of a WAV file the wav backend wrote: all after its 44-byte header.
QByteArray WavSamples(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.mid(36, 4), "data");
    return bytes.mid(44);
}

// What the output queues for a recording: whole buffers from Fill, as the device
// receives them, continuing the dither state of the recordings before it.
QByteArray DecodeAsPlayed(const QString& path)
{
    CMp3Decoder decoder;
    decoder.Init();
    EXPECT_TRUE(decoder.Open(path));
    std::vector<char> buffer(CWaveOutput::kBufferSize);
    QByteArray pcm;
    for (;;)
    {
        std::uint32_t length = CWaveOutput::kBufferSize;
        const bool more = decoder.Fill(buffer.data(), &length);
        pcm.append(buffer.data(), length);
        if (!more)
            break;
    }
    decoder.Close();
    return pcm;
}

class PlayToolTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_tool = QCoreApplication::applicationDirPath() + "/vellumdeck-play";
        ASSERT_TRUE(QFileInfo(m_tool).isExecutable()) << "build the vellumdeck-play target: " << m_tool.toStdString();
    }

    ToolRun Run(const QStringList& args, const QString& audio)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VELLUMDECK_AUDIO", audio);
        env.insert("VELLUMDECK_ROOT", m_root.Path());
        env.insert("VELLUMDECK_REGISTRY", m_root.Path() + "/registry.ini");
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(m_tool, args);
        ToolRun run;
        if (!process.waitForFinished(kRunMs))
        {
            process.kill();
            process.waitForFinished();
            ADD_FAILURE() << "vellumdeck-play did not finish";
            return run;
        }
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
        run.err = QString::fromLocal8Bit(process.readAllStandardError());
        return run;
    }

    QString Output() const { return m_root.Path() + "/out.wav"; }

    TempDeviceRoot m_root;
    QString m_tool;
};

// A playlist plays item after item, skipping names of missing files, and the
// dither state carries from one recording into the next.
TEST_F(PlayToolTest, PlaylistPlaysEveryExistingItemInOrder)
{
    const QString first = TestDataPath("tone-stereo.mp3");
    const QString second = TestDataPath("id3v2.mp3");
    ASSERT_TRUE(m_root.WriteFile("\\My documents\\list.vdl",
                                 first.toUtf8() + "\r\n" + m_root.Path().toUtf8() + "/gone.mp3\r\n"
                                     + second.toUtf8() + "\r\n"));
    const ToolRun run = Run({m_root.Host("\\My documents\\list.vdl")}, "wav:" + Output());
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("total duration=")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains("state PLAYING"));
    EXPECT_EQ(run.out.count("state ENDED"), 2);
    EXPECT_TRUE(run.out.trimmed().endsWith("state ENDED"));

    Dither::ResetAll();   // the tool's process starts from the initial state
    QByteArray expected = DecodeAsPlayed(first);
    expected += DecodeAsPlayed(second);
    const QByteArray captured = WavSamples(Output());
    EXPECT_EQ(captured.size(), expected.size());
    EXPECT_TRUE(captured == expected);
}

}  // namespace
