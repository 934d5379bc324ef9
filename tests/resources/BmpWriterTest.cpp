#include "BmpWriter.h"

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
