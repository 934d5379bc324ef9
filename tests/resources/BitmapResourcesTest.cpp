#include "ResourceFiles.h"

#include "MediapickResource.h"
#include "resource.h"

#include <QImage>

#include <gtest/gtest.h>

#include <vector>

namespace {

struct StatedBitmaps
{
    const char* folder;
    int width;
    int height;
    int bitsPerPixel;
    std::vector<int> ids;
};

const StatedBitmaps kStated[] = {
    {"resources/bitmaps", 16, 16, 8,
     {IDB_LOOP_AB_PRESSED, IDB_LOOP_OFF, IDB_LOOP_A, IDB_LOOP_AB, IDB_LOOP_OFF_PRESSED, IDB_LOOP_A_PRESSED,
      IDB_STEP_FORWARD_PRESSED, IDB_STEP_FORWARD, IDB_NEXT_PRESSED, IDB_NEXT, IDB_REPEAT_LIST_ON,
      IDB_REPEAT_LIST_OFF, IDB_STEP_BACK_PRESSED, IDB_PREVIOUS_PRESSED, IDB_PREVIOUS, IDB_STEP_BACK,
      IDB_REPEAT_TRACK_ON, IDB_REPEAT_TRACK_OFF, IDB_STOP, IDB_STOP_PRESSED}},
    {"resources/bitmaps", 240, 270, 8, {IDB_SKIN}},
    {"resources/bitmaps", 234, 205, 8, {IDB_LOGO}},
    {"resources/bitmaps", 38, 38, 8, {IDB_PAUSE_PRESSED, IDB_PAUSE, IDB_PLAY, IDB_PLAY_PRESSED}},
    {"resources/bitmaps", 9, 27, 4, {IDB_SOUND_OFF}},
    {"resources/bitmaps", 9, 27, 8, {IDB_SOUND_ON}},
    {"resources/bitmaps", 11, 21, 8, {IDB_SEEK_THUMB, IDB_SEEK_THUMB_PRESSED}},
    {"resources/bitmaps", 21, 11, 8, {IDB_VOLUME_THUMB, IDB_VOLUME_THUMB_PRESSED}},
    {"mediapick/resources", 16, 16, 8, {IDB_FOLDER}},
};

} // namespace

TEST(BitmapResources, EveryBitmapIsAnUncompressedPaletteBmpOfItsStatedSizeAndDepth)
{
    for (const StatedBitmaps& stated : kStated) {
        for (int id : stated.ids) {
            SCOPED_TRACE(id);
            const QString path = BitmapPath(QString::fromLatin1(stated.folder), id);
            const QByteArray bytes = ReadAll(path);
            ASSERT_GE(bytes.size(), 54);
            EXPECT_TRUE(bytes.startsWith("BM"));
            EXPECT_EQ(LittleEndian(bytes, 2, 4), quint32(bytes.size()));
            EXPECT_EQ(LittleEndian(bytes, 14, 4), 40u); // BITMAPINFOHEADER
            EXPECT_EQ(LittleEndian(bytes, 18, 4), quint32(stated.width));
            EXPECT_EQ(LittleEndian(bytes, 22, 4), quint32(stated.height)); // positive: bottom-up
            EXPECT_EQ(LittleEndian(bytes, 28, 2), quint32(stated.bitsPerPixel));
            EXPECT_EQ(LittleEndian(bytes, 30, 4), 0u); // BI_RGB
            const quint32 colours = LittleEndian(bytes, 46, 4);
            EXPECT_GT(colours, 0u);
            EXPECT_LE(colours, 1u << stated.bitsPerPixel);
            const quint32 stride = ((stated.width * stated.bitsPerPixel + 31) / 32) * 4;
            EXPECT_EQ(LittleEndian(bytes, 10, 4) + stride * quint32(stated.height), quint32(bytes.size()));
            EXPECT_EQ(QImage(path).size(), QSize(stated.width, stated.height));
        }
    }
}
