#include "ResourceFiles.h"

#include "MediapickResource.h"
#include "resource.h"

#include <QColor>
#include <QRect>

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
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

// Where the view puts things (client pixels, Win32 edges: right and bottom outside).
QRect Edges(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

int ChannelDistance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

// The pixels of an area of the image that differ from the colour by more than the tolerance.
int PixelsOff(const QImage& image, const QRect& area, QRgb expected, int tolerance)
{
    int off = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            off += ChannelDistance(image.pixel(x, y), expected) > tolerance ? 1 : 0;
    return off;
}

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

TEST(BitmapResources, SkinBehindTheTrackbarsAndTimeTextsIsEvenAndDarkEnough)
{
    // The trackbars paint their whole rectangle in these colours; any other skin pixel
    // there would show as a seam where the dialog units round differently. The reach is
    // the form's rectangle at 1.75 pixels a unit, rounded outwards.
    const QImage skin = LoadBitmap(IDB_SKIN);
    ASSERT_FALSE(skin.isNull());
    EXPECT_EQ(PixelsOff(skin, Edges(7, 211, 189, 226), qRgb(0x25, 0x31, 0x99), 0), 0);
    EXPECT_EQ(PixelsOff(skin, Edges(213, 208, 233, 238), qRgb(0x58, 0x51, 0xB7), 0), 0);
    // White time texts need a calm ground of at least 7:1 contrast.
    for (const QRect& ground : {QRect(55, 226, 60, 12), QRect(137, 226, 60, 12)}) {
        const QRgb first = skin.pixel(ground.topLeft());
        EXPECT_EQ(PixelsOff(skin, ground, first, 6), 0);
        auto linear = [](int channel) {
            const double c = channel / 255.0;
            return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        const double luminance = 0.2126 * linear(qRed(first)) + 0.7152 * linear(qGreen(first)) +
                                 0.0722 * linear(qBlue(first));
        EXPECT_GE(1.05 / (luminance + 0.05), 7.0);
    }
}

TEST(BitmapResources, ButtonFacesLineUpWithTheSkinBehindThem)
{
    // A face's corners show the skin it was drawn over; they must be the skin's pixels
    // at the button's place, or the face sits in the wrong spot and shows a seam.
    const struct
    {
        int id;
        QRect where;
    } faces[] = {
        {IDB_PLAY, Edges(13, 229, 51, 267)},           {IDB_PAUSE, Edges(13, 229, 51, 267)},
        {IDB_STOP, Edges(52, 246, 68, 262)},           {IDB_STEP_BACK, Edges(82, 246, 98, 262)},
        {IDB_STEP_FORWARD, Edges(101, 246, 117, 262)}, {IDB_PREVIOUS, Edges(130, 246, 146, 262)},
        {IDB_NEXT, Edges(149, 246, 165, 262)},         {IDB_LOOP_OFF, Edges(179, 246, 195, 262)},
        {IDB_REPEAT_TRACK_OFF, Edges(199, 246, 215, 262)}, {IDB_SOUND_ON, Edges(204, 210, 213, 237)},
        {IDB_REPEAT_LIST_OFF, Edges(218, 246, 234, 262)},
    };
    const QImage skin = LoadBitmap(IDB_SKIN);
    ASSERT_FALSE(skin.isNull());
    for (const auto& face : faces) {
        SCOPED_TRACE(face.id);
        const QImage image = LoadBitmap(face.id);
        ASSERT_EQ(image.size(), face.where.size());
        for (const QPoint& corner : {QPoint(0, 0), QPoint(image.width() - 1, 0), QPoint(0, image.height() - 1),
                                     QPoint(image.width() - 1, image.height() - 1)}) {
            EXPECT_LE(ChannelDistance(image.pixel(corner), skin.pixel(face.where.topLeft() + corner)), 10);
        }
    }
    // The folder picture is drawn on white, the image list's transparent colour.
    const QImage folder(BitmapPath(QStringLiteral("mediapick/resources"), IDB_FOLDER));
    ASSERT_EQ(folder.size(), QSize(FOLDER_PICTURE_SIZE, FOLDER_PICTURE_SIZE));
    EXPECT_EQ(folder.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(folder.pixel(15, 15) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_NE(folder.pixel(8, 9) & 0xFFFFFF, 0xFFFFFFu);
}
