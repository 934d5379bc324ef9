// SPDX-License-Identifier: GPL-2.0-or-later
#include "MessageQueue.h"
#include "Registry.h"
#include "ScopedEnv.h"
#include "Sound.h"
#include "TempDeviceRoot.h"
#include "WaitFor.h"
#include "WavFile.h"
#include "WaveOut.h"
#include "WaveOutDevice.h"

#include <QDataStream>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>

using namespace std::chrono_literals;

namespace {

WAVEFORMATEX PcmFormat(WORD channels, DWORD rate, WORD bits)
{
    const auto align = static_cast<WORD>(channels * bits / 8);
    return {WAVE_FORMAT_PCM, channels, rate, rate * align, align, bits};
}

// A RIFF WAVE file, written field by field; extraChunk (a whole chunk) goes before "data".
QByteArray MakeWav(const WAVEFORMATEX& f, const QByteArray& pcm, const QByteArray& extraChunk = {})
{
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);
    s.writeRawData("RIFF", 4);
    s << quint32(36 + extraChunk.size() + pcm.size());
    s.writeRawData("WAVEfmt ", 8);
    s << quint32(16) << f.wFormatTag << f.nChannels << f.nSamplesPerSec << f.nAvgBytesPerSec << f.nBlockAlign
      << f.wBitsPerSample;
    s.writeRawData(extraChunk.constData(), int(extraChunk.size()));
    s.writeRawData("data", 4);
    s << quint32(pcm.size());
    s.writeRawData(pcm.constData(), int(pcm.size()));
    return out;
}

QByteArray Samples16(const std::vector<int>& samples)
{
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);
    for (int sample : samples)
        s << qint16(sample);
    return out;
}

// A fresh device root and registry, and a message queue on the test's thread to
// receive MM_WOM_DONE.
class AudioTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MessageQueue::CreateForCurrentThread();
        Pending();
    }
    void TearDown() override { MessageQueue::DestroyForCurrentThread(); }

    // Completions go to this thread; null on failure.
    HWAVEOUT Open(const WAVEFORMATEX& format)
    {
        HWAVEOUT device = nullptr;
        EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, &format, GetCurrentThreadId(), 0, CALLBACK_THREAD),
                  MMSYSERR_NOERROR)
            << WaveOutLastOpenError();
        return device;
    }
    // Resets, unprepares and closes, as the engine does.
    void Close(HWAVEOUT device, std::vector<WAVEHDR>& headers)
    {
        EXPECT_EQ(waveOutReset(device), MMSYSERR_NOERROR);
        for (WAVEHDR& header : headers)
            EXPECT_EQ(waveOutUnprepareHeader(device, &header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        EXPECT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
    }
    // Prepared headers over equal slices of data.
    std::vector<WAVEHDR> Headers(HWAVEOUT device, QByteArray& data, int count)
    {
        std::vector<WAVEHDR> headers(static_cast<std::size_t>(count));
        const auto slice = static_cast<DWORD>(data.size() / count);
        for (std::size_t i = 0; i < headers.size(); ++i) {
            headers[i].lpData = data.data() + i * slice;
            headers[i].dwBufferLength = slice;
            EXPECT_EQ(waveOutPrepareHeader(device, &headers[i], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        }
        return headers;
    }
    void WriteAll(HWAVEOUT device, std::vector<WAVEHDR>& headers)
    {
        for (WAVEHDR& header : headers)
            waveOutWrite(device, &header, sizeof(WAVEHDR));
    }
    // True once count more MM_WOM_DONE messages have come.
    bool WaitForDone(std::size_t count)
    {
        std::size_t done = 0;
        return WaitFor([&] {
            for (Message msg; done < count && MessageQueue::ForCurrentThread()->Peek(msg);)
                done += msg.message == MM_WOM_DONE ? 1 : 0;
            return done == count;
        }, 5000);
    }
    std::vector<Message> Pending()   // without waiting
    {
        std::vector<Message> messages;
        for (Message msg; MessageQueue::ForCurrentThread()->Peek(msg);)
            messages.push_back(msg);
        return messages;
    }

    TempDeviceRoot m_root;
};

// 8000 Hz, 16-bit stereo: 32000 bytes a second.
const WAVEFORMATEX kFormat = PcmFormat(2, 8000, 16);
constexpr int kSecond = 32000;

class WaveOutTest : public AudioTest
{
protected:
    ScopedEnv m_audio{"VELLUMDECK_AUDIO", "null:50"};
};

// What would break the queue is refused; a reset gives back every queued header at
// once, in order, and keeps the pause; a closed handle is stale.
TEST_F(WaveOutTest, RefusesWhatWouldBreakTheQueueAndAResetReturnsEveryHeaderKeepingThePause)
{
    HWAVEOUT device = Open(kFormat);
    ASSERT_NE(device, nullptr);
    QByteArray data(kSecond, '\0');
    std::vector<WAVEHDR> headers = Headers(device, data, 4);
    WAVEHDR unprepared;
    unprepared.lpData = data.data();
    unprepared.dwBufferLength = 4;
    EXPECT_EQ(waveOutWrite(device, &unprepared, sizeof(WAVEHDR)), WAVERR_UNPREPARED);

    waveOutPause(device);
    for (std::size_t i = 0; i < 3; ++i)
        waveOutWrite(device, &headers[i], sizeof(WAVEHDR));
    EXPECT_EQ(waveOutWrite(device, &headers[0], sizeof(WAVEHDR)), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutUnprepareHeader(device, &headers[0], sizeof(WAVEHDR)), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutClose(device), WAVERR_STILLPLAYING);
    EXPECT_TRUE(Pending().empty());

    ASSERT_EQ(waveOutReset(device), MMSYSERR_NOERROR);
    const std::vector<Message> done = Pending();
    ASSERT_EQ(done.size(), 3u);
    for (std::size_t i = 0; i < done.size(); ++i) {
        EXPECT_EQ(done[i].message, MM_WOM_DONE);
        EXPECT_EQ(done[i].lParam, reinterpret_cast<LPARAM>(&headers[i]));
        EXPECT_EQ(headers[i].dwFlags, WHDR_PREPARED | WHDR_DONE);
    }

    // Still paused (what a paused device gives its backend is WaveOutDeviceTest's).
    waveOutWrite(device, &headers[3], sizeof(WAVEHDR));
    EXPECT_TRUE(Pending().empty());
    EXPECT_FALSE(headers[3].dwFlags & WHDR_DONE);
    waveOutRestart(device);
    EXPECT_TRUE(WaitForDone(1));
    Close(device, headers);
    EXPECT_EQ(waveOutWrite(device, &headers[1], sizeof(WAVEHDR)), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutClose(device), MMSYSERR_INVALHANDLE);
}

// A backend whose reads the test makes itself: what the device hands over is known
// the moment it is asked, with no time for a backend thread to have run or not.
class HandBackend final : public AudioBackend
{
public:
    bool Open(const AudioFormat&, AudioFeed& feed, std::string&) override
    {
        m_feed = &feed;
        return true;
    }
    void Close() override { m_feed = nullptr; }
    void Pause() override {}
    void Resume() override {}
    void Wake() override {}

    std::size_t Take(std::size_t size)
    {
        std::vector<std::uint8_t> bytes(size);
        // Heard long ago, so that a header read to its end is done at once.
        const std::size_t got = m_feed->Read(bytes.data(), size, AudioFeed::Clock::now() - std::chrono::hours(1), 1.0);
        m_feed->CompleteHeard();
        return got;
    }

private:
    AudioFeed* m_feed = nullptr;
};

// Every setting names a backend of the table with options it takes, or is refused
// with a reason (which the wave device's open passes on).
TEST(AudioBackendTest, ASettingNamesABackendOfTheTableOrIsRefusedWithAReason)
{
    for (const char* setting : {"", "sdl", "null", "null:50", "null:0.5", "wav:/tmp/x.wav", "wav:/tmp/a:b.wav:2"}) {
        std::string error;
        EXPECT_NE(AudioBackend::Create(setting, error), nullptr) << setting << ": " << error;
    }
    for (const char* setting : {"pulse", "sdl:fast", "null:0", "null:-1", "null:fast", "wav:", "wav::2", "SDL"}) {
        std::string error;
        EXPECT_EQ(AudioBackend::Create(setting, error), nullptr) << setting;
        EXPECT_FALSE(error.empty()) << setting;
    }
}

TEST(WaveOutDeviceTest, APausedDeviceHandsItsBackendNothingUntilRestarted)
{
    WaveOutDevice device(AudioFormat{2, 8000, 16}, 0);
    auto owned = std::make_unique<HandBackend>();
    HandBackend& backend = *owned;
    std::string error;
    ASSERT_TRUE(device.Start(std::move(owned), error)) << error;

    QByteArray data(4000, '\x11');
    WAVEHDR header{};
    header.lpData = data.data();
    header.dwBufferLength = DWORD(data.size());
    ASSERT_EQ(device.Prepare(&header), MMSYSERR_NOERROR);
    device.Pause();
    ASSERT_EQ(device.Write(&header), MMSYSERR_NOERROR);
    EXPECT_EQ(backend.Take(1000), 0u);
    EXPECT_EQ(backend.Take(1000), 0u);
    EXPECT_EQ(device.HeardBytes(), 0u);

    device.Restart();
    EXPECT_EQ(backend.Take(1000), 1000u) << "from where it was, nothing lost";
    device.Pause();
    EXPECT_EQ(backend.Take(1000), 0u);
    device.Restart();
    EXPECT_EQ(backend.Take(5000), 3000u) << "the rest, nothing repeated";
    EXPECT_TRUE(header.dwFlags & WHDR_DONE);
    EXPECT_EQ(device.HeardBytes(), 4000u);
    device.Unprepare(&header);
    EXPECT_TRUE(device.Stop());
}

// The position follows the listener: it runs on while a buffer plays, a buffer is
// done only once its last byte has been heard, and a reset starts the count again.
TEST_F(WaveOutTest, PositionRunsWithWhatIsHeardAndABufferIsDoneOnlyOnceHeard)
{
    ScopedEnv realTime("VELLUMDECK_AUDIO", "null:1");
    HWAVEOUT device = Open(kFormat);
    ASSERT_NE(device, nullptr);
    QByteArray data(kSecond / 2, '\0');
    std::vector<WAVEHDR> headers = Headers(device, data, 2);
    WriteAll(device, headers);

    MMTIME time;
    const auto position = [&](UINT type) {
        time.wType = type;
        EXPECT_EQ(waveOutGetPosition(device, &time, sizeof(time)), MMSYSERR_NOERROR);
        return time.u.cb;
    };
    DWORD last = 0;
    bool sawPartOfTheFirst = false;
    std::size_t done = 0;
    WaitFor([&] {
        const DWORD now = position(TIME_BYTES);
        EXPECT_GE(now, last) << "the position never goes back";
        EXPECT_LE(now, DWORD(kSecond / 2));
        EXPECT_EQ(now % 4, 0u) << "whole sample frames";
        last = now;
        sawPartOfTheFirst |= last > 0 && last < DWORD(kSecond / 4);
        for (const Message& msg : Pending()) {
            ++done;
            const DWORD end = msg.lParam == reinterpret_cast<LPARAM>(&headers[0]) ? kSecond / 4 : kSecond / 2;
            EXPECT_GE(position(TIME_BYTES), end) << "a buffer comes back only once it has been heard";
        }
        return done == 2;
    }, 5000);
    EXPECT_EQ(done, 2u);
    EXPECT_TRUE(sawPartOfTheFirst) << "the count runs on inside a buffer";

    position(TIME_SAMPLES);
    EXPECT_EQ(time.u.sample, DWORD(kSecond / 2 / 4));
    waveOutReset(device);
    EXPECT_EQ(position(TIME_BYTES), 0u);
    Close(device, headers);
    EXPECT_EQ(waveOutGetPosition(device, &time, sizeof(time)), MMSYSERR_INVALHANDLE);
}

// The volume is the program's, whichever handle sets it, and outlives the run.
TEST_F(WaveOutTest, VolumeIsFullUntilSetAndIsRememberedInTheRegistry)
{
    const auto volume = [] {
        DWORD value = 0;
        EXPECT_EQ(waveOutGetVolume(nullptr, &value), MMSYSERR_NOERROR);
        return value;
    };
    EXPECT_EQ(volume(), 0xFFFFFFFFu);
    HWAVEOUT device = Open(kFormat);
    ASSERT_NE(device, nullptr);
    ASSERT_EQ(waveOutSetVolume(device, 0x40008000), MMSYSERR_NOERROR);
    std::vector<WAVEHDR> none;
    Close(device, none);
    EXPECT_EQ(waveOutSetVolume(device, 0xFFFFFFFF), MMSYSERR_INVALHANDLE) << "a stale handle";
    EXPECT_EQ(volume(), 0x40008000u);

    // Another run with another settings file, then this one again.
    const QString ours = Registry::FilePath();
    QTemporaryDir other;
    Registry::SetFilePath(other.path() + "/registry.ini");
    EXPECT_EQ(volume(), 0xFFFFFFFFu);
    Registry::SetFilePath(ours);
    EXPECT_EQ(volume(), 0x40008000u);
}

// A driver SDL cannot start fails the open with SDL's reason, not a device that never
// plays. What the sdl output plays is the sound suite's, at a real sound server.
TEST(SdlBackendTest, ADriverThatCannotStartFailsTheOpenWithTheReason)
{
    ScopedEnv audio("VELLUMDECK_AUDIO", "sdl");
    ScopedEnv impossible("SDL_AUDIODRIVER", "nosuchdriver");
    const WAVEFORMATEX format = PcmFormat(2, 44100, 16);
    HWAVEOUT device = nullptr;
    EXPECT_NE(waveOutOpen(&device, WAVE_MAPPER, &format, GetCurrentThreadId(), 0, CALLBACK_THREAD), MMSYSERR_NOERROR);
    EXPECT_EQ(device, nullptr);
    EXPECT_FALSE(WaveOutLastOpenError().empty());
}

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
        WriteAll(device, headers);
        EXPECT_TRUE(WaitForDone(2));
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
    WriteAll(device, headers);
    waveOutRestart(device);

    ASSERT_TRUE(WaitForDone(1));
    // A whole file at each completion: the header's sizes agree with what is there.
    const QByteArray early = m_root.ReadFile(m_capture);
    EXPECT_GE(early.size(), 44 + 4096);
    EXPECT_EQ(early, MakeWav(format, data.left(early.size() - 44)));
    ASSERT_TRUE(WaitForDone(1));
    EXPECT_EQ(m_root.ReadFile(m_capture), MakeWav(format, data));
    Close(device, headers);
}

TEST_F(WavBackendTest, ProgramVolumeScalesEachChannelOfBothSampleSizes)
{
    waveOutSetVolume(nullptr, 0x40008000);   // left half, right a quarter

    PlayTrack(PcmFormat(2, 8000, 16), Samples16({1000, -1000, 32767, -32768}));
    EXPECT_EQ(m_root.ReadFile(m_capture).mid(44), Samples16({500, -250, 16383, -8192}));

    PlayTrack(PcmFormat(1, 8000, 8), QByteArray("\xE4\x1C\x80\xFF", 4));
    EXPECT_EQ(m_root.ReadFile(m_capture).mid(44), QByteArray("\xB2\x4E\x80\xBF", 4));
}

// Files that cannot play give false at once; one that can returns once it has
// played (one second at ten times real time).
using SoundTest = AudioTest;
TEST_F(SoundTest, ReturnsOnceTheSoundHasPlayedOrAtOnceWhenItCannotPlay)
{
    ScopedEnv audio("VELLUMDECK_AUDIO", "null:10");
    const WAVEFORMATEX mono8 = PcmFormat(1, 8000, 8);
    WAVEFORMATEX floats = mono8;
    floats.wFormatTag = 3;
    const std::pair<const char*, QByteArray> files[] = {
        {"float", MakeWav(floats, QByteArray(8000, '\0'))}, {"text", "not a sound at all"},
        {"cut", MakeWav(mono8, QByteArray(8000, '\0')).left(30)}, {"fine", MakeWav(mono8, QByteArray(8000, '\x80'))}};
    for (const auto& [name, bytes] : files)
        ASSERT_TRUE(m_root.WriteFile(QString("\\Windows\\%1.wav").arg(name), bytes));

    const auto start = std::chrono::steady_clock::now();
    for (const char* name : {"nosuch", "float", "text", "cut"})
        EXPECT_EQ(PlaySoundW(QString("\\Windows\\%1.wav").arg(name), nullptr, SND_FILENAME), 0) << name;
    EXPECT_EQ(PlaySoundW("\\Windows\\fine.wav", nullptr, SND_SYNC), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);

    const auto played = std::chrono::steady_clock::now();
    EXPECT_NE(PlaySoundW("\\Windows\\fine.wav", nullptr, SND_FILENAME), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - played, 70ms);
}

TEST(WavFileTest, ReadsTheSamplesPastOtherChunksAndStopsAtTheEndOfAShortFile)
{
    const WAVEFORMATEX stereo = PcmFormat(2, 22050, 16);
    const QByteArray pcm = Samples16({1, -1, 2, -2, 3, -3});
    const QByteArray oddChunk("LIST\x03\x00\x00\x00xyz\x00", 12);
    WavSound sound;
    ASSERT_TRUE(WavFile::Parse(MakeWav(stereo, pcm, oddChunk), sound));
    EXPECT_EQ(sound.pcm, pcm);
    EXPECT_EQ(sound.format.channels, 2);

    // The data chunk claims more than the file holds; half a sample frame is dropped.
    ASSERT_TRUE(WavFile::Parse(MakeWav(stereo, pcm + pcm).left(44 + 18), sound));
    EXPECT_EQ(sound.pcm, (pcm + pcm).left(16));
}

// A capture holds the recordings only: a click in its own format would restart it.
TEST_F(SoundTest, EffectsStayOutOfAWavCapture)
{
    const QString capture = m_root.Path() + "/capture.wav";
    ScopedEnv audio("VELLUMDECK_AUDIO", ("wav:" + capture).toLocal8Bit());
    m_root.WriteFile("\\Windows\\question.wav", MakeWav(PcmFormat(2, 22050, 16), Samples16({1, -1})));
    EXPECT_NE(PlaySoundW("\\Windows\\question.wav", nullptr, SND_FILENAME), 0);
    EXPECT_FALSE(QFile::exists(capture));
}

}  // namespace
