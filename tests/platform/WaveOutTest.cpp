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

class WaveOutTest : public AudioTest
{
protected:
    ScopedEnv m_audio{"VELLUMDECK_AUDIO", "null:50"};
};

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

// The volume is the program's, whichever handle sets it, and outlives the run.
TEST_F(WaveOutTest, VolumeIsFullUntilSetAndIsRememberedInTheRegistry)
{
    DWORD volume = 0;
    ASSERT_EQ(waveOutGetVolume(nullptr, &volume), MMSYSERR_NOERROR);
    EXPECT_EQ(volume, 0xFFFFFFFFu);

    HWAVEOUT device = Open(kFormat);
    ASSERT_NE(device, nullptr);
    ASSERT_EQ(waveOutSetVolume(device, 0x40008000), MMSYSERR_NOERROR);
    std::vector<WAVEHDR> none;
    Close(device, none);
    EXPECT_EQ(waveOutSetVolume(device, 0xFFFFFFFF), MMSYSERR_INVALHANDLE) << "a stale handle";
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

}  // namespace
