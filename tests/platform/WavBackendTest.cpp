#include "AudioTestSupport.h"

namespace {

class WavBackendTest : public AudioTest
{
protected:
    QString m_capture = m_root.Path() + "/capture.wav";
    ScopedEnv m_audio{"VELLUMDECK_AUDIO", ("wav:" + m_capture).toLocal8Bit()};

    // Plays data through one device open, as one track of a playlist.
    void PlayTrack(const WAVEFORMATEX& format, QByteArray data)
    {
        HWAVEOUT device = Open(format);
        ASSERT_NE(device, nullptr);
        std::vector<WAVEHDR> headers = Headers(device, data, 2);
        for (WAVEHDR& header : headers)
            waveOutWrite(device, &header, sizeof(WAVEHDR));
        EXPECT_EQ(WaitForDone(2).size(), 2u);
        Close(device, headers);
    }
};

TEST_F(WavBackendTest, FileHoldsExactlyWhatWasPlayedAndIsValidAtEachCompletion)
{
    const WAVEFORMATEX format = PcmFormat(2, 11025, 16);
    HWAVEOUT device = Open(format);
    ASSERT_NE(device, nullptr);
    QByteArray data;
    for (int i = 0; i < 8192; ++i)
        data.append(static_cast<char>(i * 7));
    std::vector<WAVEHDR> headers = Headers(device, data, 2);
    waveOutPause(device);
    for (WAVEHDR& header : headers)
        waveOutWrite(device, &header, sizeof(WAVEHDR));
    waveOutRestart(device);

    ASSERT_EQ(WaitForDone(1).size(), 1u);
    const CapturedWav early = ReadCapture(m_capture);
    EXPECT_TRUE(early.headerValid);
    EXPECT_TRUE(data.startsWith(early.data));
    EXPECT_GE(early.data.size(), 4096);

    ASSERT_EQ(WaitForDone(1).size(), 1u);
    const CapturedWav whole = ReadCapture(m_capture);
    EXPECT_TRUE(whole.headerValid);
    EXPECT_EQ(whole.channels, 2);
    EXPECT_EQ(whole.rate, 11025u);
    EXPECT_EQ(whole.bits, 16);
    EXPECT_EQ(whole.data, data);
    Close(device, headers);
}

TEST_F(WavBackendTest, ProgramVolumeScalesEachChannelOfBothSampleSizes)
{
    waveOutSetVolume(nullptr, 0x40008000);   // left half, right a quarter

    PlayTrack(PcmFormat(2, 8000, 16), Samples16({1000, -1000, 32767, -32768}));
    EXPECT_EQ(ReadCapture(m_capture).data, Samples16({500, -250, 16383, -8192}));

    PlayTrack(PcmFormat(1, 8000, 8), QByteArray("\xE4\x1C\x80\xFF", 4));
    EXPECT_EQ(ReadCapture(m_capture).data, QByteArray("\xB2\x4E\x80\xBF", 4));
}

}  // namespace
