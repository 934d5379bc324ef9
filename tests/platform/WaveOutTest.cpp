#include "AudioTestSupport.h"

#include "Registry.h"

#include <QTemporaryDir>

#include <thread>

namespace {

// 8000 Hz, 16-bit stereo: 32000 bytes a second.
const WAVEFORMATEX kFormat = PcmFormat(2, 8000, 16);
constexpr int kSecond = 32000;
// Long enough for a header at the suite's speed to have played several times over.
constexpr auto kQuiet = 150ms;
// What a failed open must overwrite with null.
const HWAVEOUT kUntouched = reinterpret_cast<HWAVEOUT>(std::uintptr_t{0x10});

class WaveOutTest : public AudioTest
{
protected:
    ScopedEnv m_audio{"VELLUMDECK_AUDIO", "null:50"};
};

TEST_F(WaveOutTest, HeadersCompleteInOrderWithDeviceAndHeaderInTheMessage)
{
    HWAVEOUT device = Open(kFormat);
    ASSERT_NE(device, nullptr);
    QByteArray data(kSecond / 2, '\x11');
    std::vector<WAVEHDR> headers = Headers(device, data, 4);
    EXPECT_EQ(headers[0].dwFlags, WHDR_PREPARED);

    ASSERT_EQ(waveOutPause(device), MMSYSERR_NOERROR);
    for (WAVEHDR& header : headers) {
        header.dwFlags |= WHDR_DONE;   // left over from an earlier round
        ASSERT_EQ(waveOutWrite(device, &header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        EXPECT_EQ(header.dwFlags, WHDR_PREPARED | WHDR_INQUEUE);
    }
    ASSERT_EQ(waveOutRestart(device), MMSYSERR_NOERROR);

    const std::vector<Message> done = WaitForDone(4);
    ASSERT_EQ(done.size(), 4u);
    for (std::size_t i = 0; i < done.size(); ++i) {
        EXPECT_EQ(done[i].wParam, reinterpret_cast<WPARAM>(device));
        EXPECT_EQ(done[i].lParam, reinterpret_cast<LPARAM>(&headers[i]));
        EXPECT_EQ(headers[i].dwFlags, WHDR_PREPARED | WHDR_DONE);
    }
    Close(device, headers);
    EXPECT_EQ(headers[0].dwFlags & WHDR_PREPARED, 0u);
}

TEST_F(WaveOutTest, PlaysAtOnceUnlessPausedAndResumesOnRestart)
{
    HWAVEOUT device = Open(kFormat);
    ASSERT_NE(device, nullptr);
    QByteArray data(kSecond / 10, '\0');
    std::vector<WAVEHDR> headers = Headers(device, data, 2);

    waveOutWrite(device, &headers[0], sizeof(WAVEHDR));
    EXPECT_EQ(WaitForDone(1).size(), 1u);

    waveOutPause(device);
    waveOutWrite(device, &headers[1], sizeof(WAVEHDR));
    std::this_thread::sleep_for(kQuiet);
    EXPECT_TRUE(Pending().empty());
    EXPECT_TRUE(headers[1].dwFlags & WHDR_INQUEUE);

    waveOutRestart(device);
    EXPECT_EQ(WaitForDone(1).size(), 1u);
    Close(device, headers);
}

TEST_F(WaveOutTest, ResetReturnsEveryQueuedHeaderAtOnceAndKeepsThePause)
{
    HWAVEOUT device = Open(kFormat);
    ASSERT_NE(device, nullptr);
    QByteArray data(kSecond, '\0');
    std::vector<WAVEHDR> headers = Headers(device, data, 4);
    waveOutPause(device);
    for (int i = 0; i < 3; ++i)
        waveOutWrite(device, &headers[static_cast<std::size_t>(i)], sizeof(WAVEHDR));

    ASSERT_EQ(waveOutReset(device), MMSYSERR_NOERROR);
    const std::vector<Message> done = Pending();
    ASSERT_EQ(done.size(), 3u);
    for (std::size_t i = 0; i < done.size(); ++i) {
        EXPECT_EQ(done[i].message, MM_WOM_DONE);
        EXPECT_EQ(done[i].lParam, reinterpret_cast<LPARAM>(&headers[i]));
        EXPECT_EQ(headers[i].dwFlags, WHDR_PREPARED | WHDR_DONE);
    }

    waveOutWrite(device, &headers[3], sizeof(WAVEHDR));
    std::this_thread::sleep_for(kQuiet);
    EXPECT_TRUE(Pending().empty());
    waveOutRestart(device);
    EXPECT_EQ(WaitForDone(1).size(), 1u);
    Close(device, headers);
}

TEST_F(WaveOutTest, RefusesWhatWouldBreakTheQueue)
{
    HWAVEOUT device = Open(kFormat);
    ASSERT_NE(device, nullptr);
    QByteArray data(kSecond, '\0');
    std::vector<WAVEHDR> headers = Headers(device, data, 2);
    WAVEHDR unprepared;
    unprepared.lpData = data.data();
    unprepared.dwBufferLength = 4;
    EXPECT_EQ(waveOutWrite(device, &unprepared, sizeof(WAVEHDR)), WAVERR_UNPREPARED);

    waveOutPause(device);
    waveOutWrite(device, &headers[0], sizeof(WAVEHDR));
    EXPECT_EQ(waveOutWrite(device, &headers[0], sizeof(WAVEHDR)), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutUnprepareHeader(device, &headers[0], sizeof(WAVEHDR)), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutClose(device), WAVERR_STILLPLAYING);
    EXPECT_EQ(Pending().size(), 0u);

    Close(device, headers);
    EXPECT_EQ(waveOutWrite(device, &headers[1], sizeof(WAVEHDR)), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutClose(device), MMSYSERR_INVALHANDLE);
}

TEST_F(WaveOutTest, OpenFailsWithoutAHandle)
{
    HWAVEOUT device = kUntouched;
    const WAVEFORMATEX twentyFourBit = PcmFormat(2, 44100, 24);
    EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, &twentyFourBit, GetCurrentThreadId(), 0, CALLBACK_THREAD),
              WAVERR_BADFORMAT);
    EXPECT_EQ(device, nullptr);

    ScopedEnv unknown("VELLUMDECK_AUDIO", "speakers");
    device = kUntouched;
    EXPECT_NE(waveOutOpen(&device, WAVE_MAPPER, &kFormat, GetCurrentThreadId(), 0, CALLBACK_THREAD),
              MMSYSERR_NOERROR);
    EXPECT_EQ(device, nullptr);
    EXPECT_NE(WaveOutLastOpenError().find("speakers"), std::string::npos);
}

class NullSpeedTest : public AudioTest
{
protected:
    // How long one second of audio takes to come back.
    std::chrono::milliseconds PlayOneSecond(const char* setting)
    {
        ScopedEnv audio("VELLUMDECK_AUDIO", setting);
        HWAVEOUT device = Open(kFormat);
        if (!device)
            return {};
        QByteArray data(kSecond, '\0');
        std::vector<WAVEHDR> headers = Headers(device, data, 4);
        const auto start = std::chrono::steady_clock::now();
        for (WAVEHDR& header : headers)
            waveOutWrite(device, &header, sizeof(WAVEHDR));
        EXPECT_EQ(WaitForDone(4, 10s).size(), 4u);
        const auto taken = std::chrono::steady_clock::now() - start;
        Close(device, headers);
        return std::chrono::duration_cast<std::chrono::milliseconds>(taken);
    }
};

TEST_F(NullSpeedTest, TakesItsTimeAtRealTimeAndAFractionOfItWhenFaster)
{
    EXPECT_GE(PlayOneSecond("null"), 800ms);
    EXPECT_LT(PlayOneSecond("null:20"), 500ms);
}

class VolumeTest : public AudioTest
{
};

TEST_F(VolumeTest, IsFullUntilSetAndIsRememberedInTheRegistry)
{
    DWORD volume = 0;
    ASSERT_EQ(waveOutGetVolume(nullptr, &volume), MMSYSERR_NOERROR);
    EXPECT_EQ(volume, 0xFFFFFFFFu);

    ASSERT_EQ(waveOutSetVolume(nullptr, 0x40008000), MMSYSERR_NOERROR);
    waveOutGetVolume(nullptr, &volume);
    EXPECT_EQ(volume, 0x40008000u);

    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, "Software\\Quorvane\\Vellumdeck\\Audio", &key), ERROR_SUCCESS);
    DWORD type = REG_NONE;
    DWORD stored = 0;
    DWORD size = sizeof(stored);
    EXPECT_EQ(RegQueryValueExW(key, "Volume", &type, reinterpret_cast<BYTE*>(&stored), &size), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(stored, 0x40008000u);

    // Another run with another settings file, then this one again.
    const QString ours = Registry::FilePath();
    QTemporaryDir other;
    Registry::SetFilePath(other.path() + "/registry.ini");
    waveOutGetVolume(nullptr, &volume);
    EXPECT_EQ(volume, 0xFFFFFFFFu);
    Registry::SetFilePath(ours);
    waveOutGetVolume(nullptr, &volume);
    EXPECT_EQ(volume, 0x40008000u);
}

TEST_F(VolumeTest, AnOpenDeviceSetsTheProgramVolumeAndAStaleHandleIsRefused)
{
    ScopedEnv audio("VELLUMDECK_AUDIO", "null:50");
    HWAVEOUT device = Open(kFormat);
    ASSERT_NE(device, nullptr);
    ASSERT_EQ(waveOutSetVolume(device, 0), MMSYSERR_NOERROR);
    DWORD volume = 1;
    waveOutGetVolume(nullptr, &volume);
    EXPECT_EQ(volume, 0u);
    std::vector<WAVEHDR> none;
    Close(device, none);
    EXPECT_EQ(waveOutSetVolume(device, 0xFFFFFFFF), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutGetVolume(device, &volume), MMSYSERR_INVALHANDLE);
}

}  // namespace
