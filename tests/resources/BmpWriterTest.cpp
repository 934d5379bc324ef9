#include "BmpWriter.h"
#include "ColourQuantiser.h"

#include <QBuffer>
#include <QImageReader>

#include <gtest/gtest.h>

namespace {

QImage Decode(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    return reader.read();
}

// An indexed image whose every pixel differs from its neighbours, so a swapped nibble,
// a row out of order or wrong padding shows.
QImage Pattern(int width, int height, int colours)
{
    QImage image(width, height, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < colours; ++i)
        table.append(qRgb(i * 13 % 256, i * 71 % 256, 255 - i * 29 % 256));
    image.setColorTable(table);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, uint((x * 3 + y * 5) % colours));
    return image;
}

} // namespace

TEST(BmpWriter, OddWidthsRoundTripAtFourAndEightBits)
{
    for (int bits : {4, 8}) {
        for (int width : {1, 3, 9, 13}) {
            SCOPED_TRACE(QStringLiteral("%1 bits, width %2").arg(bits).arg(width).toStdString());
            const QImage original = Pattern(width, 5, bits == 4 ? 16 : 200);
            const QImage decoded = Decode(CBmpWriter::Encode(original, bits));
            ASSERT_EQ(decoded.size(), original.size());
            EXPECT_EQ(decoded.convertToFormat(QImage::Format_RGB32),
                      original.convertToFormat(QImage::Format_RGB32));
        }
    }
}

TEST(BmpWriter, RefusesWhatItCannotStore)
{
    EXPECT_TRUE(CBmpWriter::Encode(Pattern(4, 4, 17), 4).isEmpty()); // palette too big
    EXPECT_TRUE(CBmpWriter::Encode(Pattern(4, 4, 2), 24).isEmpty());
    EXPECT_TRUE(CBmpWriter::Encode(QImage(4, 4, QImage::Format_RGB32), 8).isEmpty());
}

TEST(ColourQuantiser, KeepsExactColoursAndTheBudget)
{
    // A smooth gradient of far more colours than allowed, with one flat key colour.
    const QRgb key = qRgb(37, 49, 153);
    QImage image(256, 64, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, y < 8 ? key : qRgb(x, (x + y * 4) % 256, 255 - x));
    const QImage reduced = CColourQuantiser(16, {key}).Quantise(image);
    ASSERT_EQ(reduced.format(), QImage::Format_Indexed8);
    EXPECT_LE(reduced.colorCount(), 16);
    EXPECT_EQ(reduced.pixel(100, 3), key | 0xFF000000u);
    // Nothing strays far: sixteen colours over this gradient stay within a coarse step.
    int worst = 0;
    for (int y = 8; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb a = image.pixel(x, y);
            const QRgb b = reduced.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qBlue(a) - qBlue(b))});
        }
    }
    EXPECT_LT(worst, 96);
}

TEST(ColourQuantiser, FewColoursComeThroughUnchanged)
{
    QImage image(3, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(1, 2, 3));
    image.setPixel(1, 0, qRgb(200, 100, 50));
    image.setPixel(2, 0, qRgb(255, 255, 255));
    const QImage reduced = CColourQuantiser(16, {}).Quantise(image);
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(reduced.pixel(x, 0), image.pixel(x, 0));
}
