#include "ResourceFiles.h"

#include "MediapickResource.h"
#include "resource.h"

#include <QColor>
#include <QRect>

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

namespace {

struct StatedBitmap
{
    const char* folder;
    int id;
    int width;
    int height;
    int bitsPerPixel;
};

constexpr const char* kProgram = "resources/bitmaps";
constexpr const char* kMediapick = "mediapick/resources";

const StatedBitmap kStated[] = {
    {kProgram, IDB_LOOP_AB_PRESSED, 16, 16, 8},   {kProgram, IDB_LOOP_OFF, 16, 16, 8},
    {kProgram, IDB_LOOP_A, 16, 16, 8},            {kProgram, IDB_LOOP_AB, 16, 16, 8},
    {kProgram, IDB_LOOP_OFF_PRESSED, 16, 16, 8},  {kProgram, IDB_LOOP_A_PRESSED, 16, 16, 8},
    {kProgram, IDB_SKIN, 240, 270, 8},            {kProgram, IDB_STEP_FORWARD_PRESSED, 16, 16, 8},
    {kProgram, IDB_LOGO, 234, 205, 8},            {kProgram, IDB_STEP_FORWARD, 16, 16, 8},
    {kProgram, IDB_PAUSE_PRESSED, 38, 38, 8},     {kProgram, IDB_PAUSE, 38, 38, 8},
    {kProgram, IDB_NEXT_PRESSED, 16, 16, 8},      {kProgram, IDB_NEXT, 16, 16, 8},
    {kProgram, IDB_REPEAT_LIST_ON, 16, 16, 8},    {kProgram, IDB_PLAY, 38, 38, 8},
    {kProgram, IDB_REPEAT_LIST_OFF, 16, 16, 8},   {kProgram, IDB_PLAY_PRESSED, 38, 38, 8},
    {kProgram, IDB_STEP_BACK_PRESSED, 16, 16, 8}, {kProgram, IDB_PREVIOUS_PRESSED, 16, 16, 8},
    {kProgram, IDB_PREVIOUS, 16, 16, 8},          {kProgram, IDB_STEP_BACK, 16, 16, 8},
    {kProgram, IDB_REPEAT_TRACK_ON, 16, 16, 8},   {kProgram, IDB_SOUND_OFF, 9, 27, 4},
    {kProgram, IDB_SOUND_ON, 9, 27, 8},           {kProgram, IDB_REPEAT_TRACK_OFF, 16, 16, 8},
    {kProgram, IDB_STOP, 16, 16, 8},              {kProgram, IDB_STOP_PRESSED, 16, 16, 8},
    {kProgram, IDB_SEEK_THUMB, 11, 21, 8},        {kProgram, IDB_SEEK_THUMB_PRESSED, 11, 21, 8},
    {kProgram, IDB_VOLUME_THUMB, 21, 11, 8},      {kProgram, IDB_VOLUME_THUMB_PRESSED, 21, 11, 8},
    {kMediapick, IDB_FOLDER, 16, 16, 8},
};

// Where the view puts things (client pixels, Win32 edges: right and bottom outside).
QRect Edges(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

// A trackbar of form 101 at 1.75 pixels per dialog unit, rounded either way.
QRect TrackbarReach(double x, double y, double width, double height)
{
    constexpr double unit = 1.75;
    return Edges(int(std::floor(x * unit)), int(std::floor(y * unit)),
                 int(std::ceil((x + width) * unit)), int(std::ceil((y + height) * unit)));
}

const QRect kSeekSlider = TrackbarReach(4, 121, 104, 8);
const QRect kVolumeSlider = TrackbarReach(122, 119, 11, 17);
const QRect kPositionTextGround(55, 226, 60, 12);
const QRect kTotalTextGround(137, 226, 60, 12);

struct Face
{
    int id;
    QRect where;
};

const Face kFaces[] = {
    {IDB_PLAY, Edges(13, 229, 51, 267)},        {IDB_PAUSE, Edges(13, 229, 51, 267)},
    {IDB_STOP, Edges(52, 246, 68, 262)},        {IDB_STEP_BACK, Edges(82, 246, 98, 262)},
    {IDB_STEP_FORWARD, Edges(101, 246, 117, 262)}, {IDB_PREVIOUS, Edges(130, 246, 146, 262)},
    {IDB_NEXT, Edges(149, 246, 165, 262)},      {IDB_LOOP_OFF, Edges(179, 246, 195, 262)},
    {IDB_REPEAT_TRACK_OFF, Edges(199, 246, 215, 262)}, {IDB_SOUND_ON, Edges(204, 210, 213, 237)},
    {IDB_REPEAT_LIST_OFF, Edges(218, 246, 234, 262)},
};

int ChannelDistance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

double Luminance(QRgb rgb)
{
    auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(rgb)) + 0.7152 * linear(qGreen(rgb)) + 0.0722 * linear(qBlue(rgb));
}

// The colours of a rectangle of the skin that differ from its top-left pixel by more than
// the tolerance.
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
    for (const StatedBitmap& stated : kStated) {
        SCOPED_TRACE(stated.id);
        const QString path = BitmapPath(QString::fromLatin1(stated.folder), stated.id);
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
        EXPECT_EQ(LittleEndian(bytes, 10, 4) + stride * quint32(stated.height),
                  quint32(bytes.size()));

        const QImage image(path);
        EXPECT_EQ(image.size(), QSize(stated.width, stated.height));
    }
}

TEST(BitmapResources, FacesThatStandForDifferentStatesDiffer)
{
    // Pressed against normal, and the faces that share one place on the panel.
    const std::pair<int, int> pairs[] = {
        {IDB_PLAY, IDB_PLAY_PRESSED},       {IDB_PAUSE, IDB_PAUSE_PRESSED},
        {IDB_PLAY, IDB_PAUSE},              {IDB_STOP, IDB_STOP_PRESSED},
        {IDB_STEP_BACK, IDB_STEP_BACK_PRESSED}, {IDB_STEP_FORWARD, IDB_STEP_FORWARD_PRESSED},
        {IDB_STEP_BACK, IDB_STEP_FORWARD},  {IDB_PREVIOUS, IDB_PREVIOUS_PRESSED},
        {IDB_NEXT, IDB_NEXT_PRESSED},       {IDB_PREVIOUS, IDB_NEXT},
        {IDB_STEP_BACK, IDB_PREVIOUS},      {IDB_LOOP_OFF, IDB_LOOP_OFF_PRESSED},
        {IDB_LOOP_A, IDB_LOOP_A_PRESSED},   {IDB_LOOP_AB, IDB_LOOP_AB_PRESSED},
        {IDB_LOOP_OFF, IDB_LOOP_A},         {IDB_LOOP_A, IDB_LOOP_AB},
        {IDB_LOOP_OFF, IDB_LOOP_AB},        {IDB_REPEAT_TRACK_OFF, IDB_REPEAT_TRACK_ON},
        {IDB_REPEAT_LIST_OFF, IDB_REPEAT_LIST_ON}, {IDB_REPEAT_TRACK_OFF, IDB_REPEAT_LIST_OFF},
        {IDB_SOUND_OFF, IDB_SOUND_ON},      {IDB_SEEK_THUMB, IDB_SEEK_THUMB_PRESSED},
        {IDB_VOLUME_THUMB, IDB_VOLUME_THUMB_PRESSED},
    };
    for (const auto& [first, second] : pairs) {
        SCOPED_TRACE(QStringLiteral("%1 / %2").arg(first).arg(second).toStdString());
        const QImage a = LoadBitmap(first).convertToFormat(QImage::Format_RGB32);
        const QImage b = LoadBitmap(second).convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(a.isNull());
        ASSERT_EQ(a.size(), b.size());
        EXPECT_NE(a, b);
    }
}

TEST(BitmapResources, SkinUnderEachTrackbarIsThatTrackbarsBackgroundColour)
{
    // The trackbars paint their whole rectangle in these colours; any other skin pixel
    // there would show as a seam where the dialog units round differently.
    const QImage skin = LoadBitmap(IDB_SKIN);
    ASSERT_FALSE(skin.isNull());
    EXPECT_EQ(PixelsOff(skin, kSeekSlider, qRgb(0x25, 0x31, 0x99), 0), 0);
    EXPECT_EQ(PixelsOff(skin, kVolumeSlider, qRgb(0x58, 0x51, 0xB7), 0), 0);
}

TEST(BitmapResources, TimeTextsHaveCalmGroundDarkEnoughForWhiteText)
{
    const QImage skin = LoadBitmap(IDB_SKIN);
    ASSERT_FALSE(skin.isNull());
    for (const QRect& ground : {kPositionTextGround, kTotalTextGround}) {
        const QRgb first = skin.pixel(ground.topLeft());
        EXPECT_EQ(PixelsOff(skin, ground, first, 6), 0);
        const double contrast = 1.05 / (Luminance(first) + 0.05);
        EXPECT_GE(contrast, 7.0);
    }
}

TEST(BitmapResources, ButtonFacesLineUpWithTheSkinBehindThem)
{
    // A face's corners show the skin it was drawn over; they must be the skin's pixels
    // at the button's place, or the face sits in the wrong spot and shows a seam.
    const QImage skin = LoadBitmap(IDB_SKIN);
    ASSERT_FALSE(skin.isNull());
    constexpr int tolerance = 10;
    for (const Face& face : kFaces) {
        SCOPED_TRACE(face.id);
        const QImage image = LoadBitmap(face.id);
        ASSERT_EQ(image.size(), face.where.size());
        const QPoint corners[] = {{0, 0}, {image.width() - 1, 0}, {0, image.height() - 1},
                                  {image.width() - 1, image.height() - 1}};
        for (const QPoint& corner : corners) {
            EXPECT_LE(ChannelDistance(image.pixel(corner), skin.pixel(face.where.topLeft() + corner)),
                      tolerance);
        }
    }
}

TEST(BitmapResources, FolderPictureIsDrawnOnTransparentWhite)
{
    const QImage folder(BitmapPath(QString::fromLatin1(kMediapick), IDB_FOLDER));
    ASSERT_EQ(folder.size(), QSize(FOLDER_PICTURE_SIZE, FOLDER_PICTURE_SIZE));
    const QRgb white = qRgb(255, 255, 255);
    EXPECT_EQ(folder.pixel(0, 0) & 0xFFFFFF, white & 0xFFFFFF);
    EXPECT_EQ(folder.pixel(15, 15) & 0xFFFFFF, white & 0xFFFFFF);
    EXPECT_NE(folder.pixel(8, 9) & 0xFFFFFF, white & 0xFFFFFF);
}
