// SPDX-License-Identifier: GPL-2.0-or-later
// The committed bitmaps and sounds of the source tree, against what the program relies on.
#include "LittleEndian.h"
#include "MediapickResource.h"
#include "resource.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The offset of a RIFF chunk's body, or -1.
int FindChunk(const QByteArray& wav, const char* id, quint32* size)
{
    for (int at = 12; at + 8 <= wav.size(); at += 8 + int(*size) + int(*size & 1)) {
        *size = LittleEndian::ReadField(wav.constData() + at + 4, 4);
        if (wav.mid(at, 4) == id)
            return at + 8;
    }
    return -1;
}

struct StatedBitmaps
{
    int width, height, bitsPerPixel;
    std::vector<int> ids;
    const char* folder = "resources/bitmaps";
};

const StatedBitmaps kStated[] = {
    {16, 16, 8,
     {IDB_LOOP_AB_PRESSED, IDB_LOOP_OFF, IDB_LOOP_A, IDB_LOOP_AB, IDB_LOOP_OFF_PRESSED, IDB_LOOP_A_PRESSED,
      IDB_STEP_FORWARD_PRESSED, IDB_STEP_FORWARD, IDB_NEXT_PRESSED, IDB_NEXT, IDB_REPEAT_LIST_ON,
      IDB_REPEAT_LIST_OFF, IDB_STEP_BACK_PRESSED, IDB_PREVIOUS_PRESSED, IDB_PREVIOUS, IDB_STEP_BACK,
      IDB_REPEAT_TRACK_ON, IDB_REPEAT_TRACK_OFF, IDB_STOP, IDB_STOP_PRESSED}},
    {240, 270, 8, {IDB_SKIN}},
    {234, 205, 8, {IDB_LOGO}},
    {38, 38, 8, {IDB_PAUSE_PRESSED, IDB_PAUSE, IDB_PLAY, IDB_PLAY_PRESSED}},
    {9, 27, 4, {IDB_SOUND_OFF}},
    {9, 27, 8, {IDB_SOUND_ON}},
    {11, 21, 8, {IDB_SEEK_THUMB, IDB_SEEK_THUMB_PRESSED}},
    {21, 11, 8, {IDB_VOLUME_THUMB, IDB_VOLUME_THUMB_PRESSED}},
    {16, 16, 8, {IDB_FOLDER}, "mediapick/resources"},
};

} // namespace

TEST(BitmapResources, EveryBitmapIsAnUncompressedPaletteBmpOfItsStatedSizeAndDepth)
{
    for (const StatedBitmaps& stated : kStated) {
        const QDir dir(QDir(VD_SOURCE_DIR).filePath(stated.folder));
        for (int id : stated.ids) {
            SCOPED_TRACE(id);
            const QStringList names = dir.entryList({QStringLiteral("%1-*.bmp").arg(id)}, QDir::Files);
            ASSERT_EQ(names.size(), 1);
            const QString path = dir.filePath(names.first());
            const QByteArray bytes = ReadAll(path);
            ASSERT_GE(bytes.size(), 54);
            const auto field = [&](int at, int size) { return LittleEndian::ReadField(bytes.constData() + at, size); };
            EXPECT_TRUE(bytes.startsWith("BM"));
            EXPECT_EQ(field(2, 4), quint32(bytes.size()));
            EXPECT_EQ(field(14, 4), 40u); // BITMAPINFOHEADER
            // Width, height (positive: bottom-up), depth, BI_RGB.
            EXPECT_EQ(QList<quint32>({field(18, 4), field(22, 4), field(28, 2), field(30, 4)}),
                      QList<quint32>({quint32(stated.width), quint32(stated.height), quint32(stated.bitsPerPixel), 0u}));
            EXPECT_GT(field(46, 4), 0u);
            EXPECT_LE(field(46, 4), 1u << stated.bitsPerPixel);
            const quint32 stride = ((stated.width * stated.bitsPerPixel + 31) / 32) * 4;
            EXPECT_EQ(field(10, 4) + stride * quint32(stated.height), quint32(bytes.size()));
            EXPECT_EQ(QImage(path).size(), QSize(stated.width, stated.height));
        }
    }
}

TEST(SoundResources, BothSoundsAreShortAudible16BitPcm)
{
    for (const char* name : {"resources/sounds/menusel.wav", "resources/sounds/question.wav"}) {
        SCOPED_TRACE(name);
        const QByteArray wav = ReadAll(QDir(VD_SOURCE_DIR).filePath(name));
        ASSERT_GE(wav.size(), 44);
        const auto field = [&](int at, int size) { return LittleEndian::ReadField(wav.constData() + at, size); };
        EXPECT_TRUE(wav.startsWith("RIFF") && wav.mid(8, 4) == "WAVE");
        quint32 fmtSize = 0, dataSize = 0;
        const int fmt = FindChunk(wav, "fmt ", &fmtSize);
        const int data = FindChunk(wav, "data", &dataSize);
        ASSERT_GE(fmt, 0);
        ASSERT_GE(data, 0);
        EXPECT_EQ(field(fmt, 2), 1u); // PCM
        EXPECT_EQ(field(fmt + 14, 2), 16u);
        const quint32 frameBytes = 2 * field(fmt + 2, 2);
        const quint32 rate = field(fmt + 4, 4);
        ASSERT_LE(data + int(dataSize), wav.size());
        ASSERT_GT(frameBytes * rate, 0u);
        const double seconds = double(dataSize) / (frameBytes * rate);
        EXPECT_GT(seconds, 0.02);
        EXPECT_LT(seconds, 0.3); // a click must not hold up the button that plays it
        int peak = 0;
        for (quint32 i = 0; i + 1 < dataSize; i += 2)
            peak = std::max(peak, std::abs(qint16(field(data + int(i), 2))));
        EXPECT_GT(peak, 2000);   // audible
        EXPECT_LT(peak, 32000);  // and not clipped
    }
}
