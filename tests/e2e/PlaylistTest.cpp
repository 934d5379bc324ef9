// A playlist heard through to its end: what reaches the sound device is the two
// recordings, whole and in order, and each brings its study text when it starts.

#include "ProgramFixture.h"

#include "Dither.h"
#include "Mp3Decoder.h"
#include "PlayerMessages.h"

#include <vector>

namespace {

constexpr std::uint32_t kFillBytes = 16384;

// The 16-bit samples of a recording, as the player's decoder gives them.
QByteArray Decode(const QString& path)
{
    CMp3Decoder decoder;
    EXPECT_TRUE(decoder.Open(path));
    QByteArray pcm;
    std::vector<char> buffer(kFillBytes);
    for (bool more = true; more;) {
        std::uint32_t got = kFillBytes;
        more = decoder.Fill(buffer.data(), &got) && got > 0;
        pcm.append(buffer.data(), got);
    }
    decoder.Close();
    return pcm;
}

// The "data" chunk of a WAV file.
QByteArray WavData(const QByteArray& wav)
{
    for (int at = 12; at + 8 <= wav.size();) {   // past the RIFF header, chunk by chunk
        const auto size = int(qFromLittleEndian<quint32>(wav.constData() + at + 4));
        if (wav.mid(at, 4) == "data")
            return wav.mid(at + 8, size);
        at += 8 + size + (size & 1);
    }
    return {};
}

}  // namespace

using PlaylistTest = ProgramFixture;

TEST_F(PlaylistTest, PlaysBothRecordingsInOrderToTheEndWithTheirTexts)
{
    const QString capture = m_root.Path() + QStringLiteral("/capture.wav");
    UseAudio("wav:" + capture.toLocal8Bit());
    InstallSampleLesson();
    Dither::ResetAll();
    Start();
    FileOpen(Device(kPlaylist));
    EXPECT_TRUE(PaneText().startsWith(QStringLiteral("Lesson 1: At the cafe")));

    // The second lesson's text comes with it; then the list ends.
    ASSERT_TRUE(WaitFor([this] { return PaneText().startsWith(QStringLiteral("Lesson 2: At the station")); }));
    ASSERT_TRUE(WaitFor([this] {
        const int state = View().PlayerState();
        return state == PLAYER_STOPPED || state == PLAYER_ENDED;
    }));
    EXPECT_EQ(View().Controller().GetCurrentIndex(), 1);
    EXPECT_TRUE(Shown(CVellumdeckView::BTN_PLAY));
    Frame().close();
    m_app.reset();

    Dither::ResetAll();
    const QByteArray first = Decode(Host(Device(kLesson1)));
    const QByteArray second = Decode(Host(Device(kLesson2)));
    ASSERT_TRUE(first.size() > 0 && second.size() > 0);
    const QByteArray heard = WavData(ReadHostFile(capture));
    ASSERT_EQ(heard.size(), first.size() + second.size());
    EXPECT_TRUE(heard.left(first.size()) == first) << "the first recording differs";
    EXPECT_TRUE(heard.mid(first.size()) == second) << "the second recording differs";
}
