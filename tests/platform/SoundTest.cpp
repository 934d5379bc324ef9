#include "AudioTestSupport.h"

#include "Sound.h"
#include "WavFile.h"

#include <QFile>

namespace {

const WAVEFORMATEX kMono8 = PcmFormat(1, 8000, 8);

class SoundTest : public AudioTest
{
protected:
    ScopedEnv m_audio{"VELLUMDECK_AUDIO", "null:10"};
};

// Files that cannot play give false at once; one that can returns once it has
// played (one second at ten times real time).
TEST_F(SoundTest, ReturnsOnceTheSoundHasPlayedOrAtOnceWhenItCannotPlay)
{
    WAVEFORMATEX floats = kMono8;
    floats.wFormatTag = 3;
    m_root.WriteFile("\\Windows\\float.wav", MakeWav(floats, QByteArray(8000, '\0')));
    m_root.WriteFile("\\Windows\\text.wav", "not a sound at all");
    m_root.WriteFile("\\Windows\\cut.wav", MakeWav(kMono8, QByteArray(8000, '\0')).left(30));
    m_root.WriteFile("\\Windows\\fine.wav", MakeWav(kMono8, QByteArray(8000, '\x80')));

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(PlaySoundW("\\Windows\\nosuch.wav", nullptr, SND_FILENAME), 0);
    EXPECT_EQ(PlaySoundW("\\Windows\\float.wav", nullptr, SND_FILENAME), 0);
    EXPECT_EQ(PlaySoundW("\\Windows\\text.wav", nullptr, SND_FILENAME), 0);
    EXPECT_EQ(PlaySoundW("\\Windows\\cut.wav", nullptr, SND_FILENAME), 0);
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

TEST_F(SoundTest, EffectsStayOutOfAWavCapture)
{
    // A capture holds the recordings only: a click in its own format would restart it.
    const QString capture = m_root.Path() + "/capture.wav";
    ScopedEnv audio("VELLUMDECK_AUDIO", ("wav:" + capture).toLocal8Bit());
    m_root.WriteFile("\\Windows\\question.wav", MakeWav(PcmFormat(2, 22050, 16), Samples16({1, -1})));
    EXPECT_NE(PlaySoundW("\\Windows\\question.wav", nullptr, SND_FILENAME), 0);
    EXPECT_FALSE(QFile::exists(capture));
}

}  // namespace
