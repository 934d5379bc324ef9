#include "ResourceFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

constexpr quint32 kPcm = 1;
constexpr double kLongestSound = 0.3; // a click must not hold up the button that plays it

// The offset of a RIFF chunk's body, or -1.
int FindChunk(const QByteArray& wav, const char* id, quint32* size)
{
    int at = 12;
    while (at + 8 <= wav.size()) {
        *size = LittleEndian(wav, at + 4, 4);
        if (wav.mid(at, 4) == id)
            return at + 8;
        at += 8 + int(*size) + int(*size & 1);
    }
    return -1;
}

} // namespace

TEST(SoundResources, BothSoundsAreShortAudible16BitPcm)
{
    for (const char* name : {"resources/sounds/menusel.wav", "resources/sounds/question.wav"}) {
        SCOPED_TRACE(name);
        const QByteArray wav = ReadAll(SourcePath(QString::fromLatin1(name)));
        ASSERT_GE(wav.size(), 44);
        EXPECT_TRUE(wav.startsWith("RIFF"));
        EXPECT_EQ(wav.mid(8, 4), "WAVE");
        quint32 fmtSize = 0;
        const int fmt = FindChunk(wav, "fmt ", &fmtSize);
        ASSERT_GE(fmt, 0);
        EXPECT_EQ(LittleEndian(wav, fmt, 2), kPcm);
        const quint32 channels = LittleEndian(wav, fmt + 2, 2);
        const quint32 rate = LittleEndian(wav, fmt + 4, 4);
        EXPECT_EQ(LittleEndian(wav, fmt + 14, 2), 16u);
        quint32 dataSize = 0;
        const int data = FindChunk(wav, "data", &dataSize);
        ASSERT_GE(data, 0);
        ASSERT_LE(data + int(dataSize), wav.size());
        ASSERT_GT(channels * rate, 0u);
        const double seconds = double(dataSize) / (2.0 * channels * rate);
        EXPECT_GT(seconds, 0.02);
        EXPECT_LT(seconds, kLongestSound);

        int peak = 0;
        for (quint32 i = 0; i + 1 < dataSize; i += 2)
            peak = std::max(peak, std::abs(qint16(LittleEndian(wav, data + int(i), 2))));
        EXPECT_GT(peak, 2000);   // audible
        EXPECT_LT(peak, 32000);  // and not clipped
    }
}
