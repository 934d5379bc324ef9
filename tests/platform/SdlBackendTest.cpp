#include "AudioTestSupport.h"

namespace {

class SdlBackendTest : public AudioTest
{
protected:
    ScopedEnv m_audio{"VELLUMDECK_AUDIO", "sdl"};
};

TEST_F(SdlBackendTest, DummyDriverPlaysTheQueuedBuffersAndAnImpossibleOneFails)
{
    ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
    HWAVEOUT device = Open(PcmFormat(2, 44100, 16));
    ASSERT_NE(device, nullptr);
    QByteArray data(8192, '\x01');
    std::vector<WAVEHDR> headers = Headers(device, data, 2);
    for (WAVEHDR& header : headers)
        waveOutWrite(device, &header, sizeof(WAVEHDR));
    const std::vector<Message> done = WaitForDone(2);
    ASSERT_EQ(done.size(), 2u);
    EXPECT_EQ(done[1].lParam, reinterpret_cast<LPARAM>(&headers[1]));
    EXPECT_EQ(headers[1].dwFlags, WHDR_PREPARED | WHDR_DONE);
    Close(device, headers);

    // A driver SDL cannot start fails the open, with SDL's reason.
    ScopedEnv impossible("SDL_AUDIODRIVER", "nosuchdriver");
    device = nullptr;
    const WAVEFORMATEX format = PcmFormat(2, 44100, 16);
    EXPECT_NE(waveOutOpen(&device, WAVE_MAPPER, &format, GetCurrentThreadId(), 0, CALLBACK_THREAD),
              MMSYSERR_NOERROR);
    EXPECT_EQ(device, nullptr);
    EXPECT_FALSE(WaveOutLastOpenError().empty());
}

}  // namespace
