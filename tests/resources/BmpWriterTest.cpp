// SPDX-License-Identifier: GPL-2.0-or-later
#include "BmpWriter.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

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
            const QImage decoded = QImage::fromData(CBmpWriter::Encode(original, bits), "bmp");
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
