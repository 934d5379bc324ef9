// The output's buffer scheme on the wav backend: a whole recording queued to its last
// byte from the one block of buffers.

#include "DecoderTestSupport.h"
#include "Mp3Decoder.h"
#include "MessageQueue.h"
#include "TempDeviceRoot.h"
#include "WaveOutput.h"
#include "WinThread.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr auto kMessageTimeout = 10s;
constexpr std::int64_t kWavHeaderSize = 44;

class WaveOutputTest : public ::testing::Test
{
protected:
    void SetUp() override { Drain(); }
    void TearDown() override
    {
        m_output.Close();
        Drain();   // no stray completions for later tests on this thread
    }

    // The next completion message, or false when none comes in time.
    bool WaitForDone(Message* msg)
    {
        const auto deadline = std::chrono::steady_clock::now() + kMessageTimeout;
        while (std::chrono::steady_clock::now() < deadline) {
            if (!m_queue->Peek(*msg))
                std::this_thread::sleep_for(1ms);
            else if (msg->message == MM_WOM_DONE)
                return true;
        }
        return false;
    }

    // Takes what is waiting; the buffers of its completions go to buffers.
    void Drain(std::set<const char*>* buffers = nullptr)
    {
        for (Message msg; m_queue->Peek(msg);) {
            if (msg.message == MM_WOM_DONE && buffers)
                buffers->insert(reinterpret_cast<WAVEHDR*>(msg.lParam)->lpData);
        }
    }

    TempDeviceRoot m_root;
    const QString m_capture = m_root.Path() + "/capture.wav";
    ScopedEnv m_audio{"VELLUMDECK_AUDIO", "wav:" + m_capture.toStdString()};
    MessageQueue* m_queue = &MessageQueue::CreateForCurrentThread();
    CMp3Decoder m_decoder;
    CWaveOutput m_output;
};

TEST_F(WaveOutputTest, PlaysTheRecordingToItsLastSampleFromOneBlock)
{
    const std::size_t expectedFrames = DecodeWithMpg123(TestDataPath("tone-stereo.mp3")).Frames();
    ASSERT_TRUE(m_decoder.Open(TestDataPath("tone-stereo.mp3")));
    TrackInfo info;
    m_decoder.GetTrackInfo(&info);
    m_output.Attach(&m_decoder);
    ASSERT_TRUE(m_output.Open(info, GetCurrentThreadId()));
    ASSERT_TRUE(m_output.SetPaused(false));

    std::set<const char*> buffers;
    ASSERT_TRUE(m_output.Pump());
    while (m_output.Attached() || !m_output.AllIdle()) {
        Message msg;
        ASSERT_TRUE(WaitForDone(&msg));
        buffers.insert(reinterpret_cast<WAVEHDR*>(msg.lParam)->lpData);
        if (m_output.Attached())
            m_output.Pump();
    }
    EXPECT_FALSE(m_decoder.IsOpen());   // the output closed it at the end of the data
    // The device marks a buffer done before its message arrives, so the last ones
    // may still be on their way; once the device is closed they are all here.
    m_output.Close();
    Drain(&buffers);

    // Every buffer lies in one 128 KiB block, each at its own 16 KiB offset.
    ASSERT_EQ(buffers.size(), 8u);
    const char* base = *buffers.begin();
    for (const char* data : buffers)
        EXPECT_EQ((data - base) % CWaveOutput::kBufferSize, 0);
    EXPECT_EQ(*buffers.rbegin() - base, 7 * std::ptrdiff_t(CWaveOutput::kBufferSize));

    // The last, partly filled buffer played too: nothing is missing at the end.
    const std::int64_t dataBytes = QFileInfo(m_capture).size() - kWavHeaderSize;
    EXPECT_NE(dataBytes % CWaveOutput::kBufferSize, 0);
    EXPECT_EQ(static_cast<std::size_t>(dataBytes / 4), expectedFrames);
}

}  // namespace
