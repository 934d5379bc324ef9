// SPDX-License-Identifier: GPL-2.0-or-later
#include "BmpWriter.h"

#include "LittleEndian.h"

#include <QSaveFile>

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr int kPaletteEntrySize = 4;
constexpr int kPixelsPerMetre = 2835; // 72 dots per inch
constexpr quint32 kBiRgb = 0;

} // namespace

bool CBmpWriter::Write(const QImage& indexed, int bitsPerPixel, const QString& path)
{
    const QByteArray bytes = Encode(indexed, bitsPerPixel);
    if (bytes.isEmpty())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(bytes);
    return file.commit();
}

QByteArray CBmpWriter::Encode(const QImage& indexed, int bitsPerPixel)
{
    if ((bitsPerPixel != 4 && bitsPerPixel != 8) || indexed.format() != QImage::Format_Indexed8
        || indexed.colorCount() > (1 << bitsPerPixel) || indexed.colorCount() == 0)
        return {};
    QByteArray out;
    AppendHeaders(out, indexed, bitsPerPixel);
    AppendPalette(out, indexed);
    AppendPixels(out, indexed, bitsPerPixel);
    return out;
}

int CBmpWriter::RowStride(int width, int bitsPerPixel)
{
    return ((width * bitsPerPixel + 31) / 32) * 4;
}

void CBmpWriter::AppendHeaders(QByteArray& out, const QImage& indexed, int bitsPerPixel)
{
    const quint32 paletteSize = quint32(indexed.colorCount()) * kPaletteEntrySize;
    const quint32 pixelOffset = kFileHeaderSize + kInfoHeaderSize + paletteSize;
    const quint32 imageSize = quint32(RowStride(indexed.width(), bitsPerPixel)) * indexed.height();
    out.append("BM");
    LittleEndian::Append<quint32>(out, pixelOffset + imageSize);
    LittleEndian::Append<quint32>(out, 0); // two reserved words
    LittleEndian::Append<quint32>(out, pixelOffset);

    LittleEndian::Append<quint32>(out, kInfoHeaderSize);
    LittleEndian::Append<quint32>(out, quint32(indexed.width()));
    LittleEndian::Append<quint32>(out, quint32(indexed.height())); // positive: rows run bottom-up
    LittleEndian::Append<quint16>(out, 1); // planes
    LittleEndian::Append<quint16>(out, quint16(bitsPerPixel));
    LittleEndian::Append<quint32>(out, kBiRgb);
    LittleEndian::Append<quint32>(out, imageSize);
    LittleEndian::Append<quint32>(out, kPixelsPerMetre);
    LittleEndian::Append<quint32>(out, kPixelsPerMetre);
    LittleEndian::Append<quint32>(out, quint32(indexed.colorCount())); // colours used
    LittleEndian::Append<quint32>(out, 0); // all of them important
}

void CBmpWriter::AppendPalette(QByteArray& out, const QImage& indexed)
{
    for (QRgb colour : indexed.colorTable()) {
        out.append(char(qBlue(colour)));
        out.append(char(qGreen(colour)));
        out.append(char(qRed(colour)));
        out.append(char(0));
    }
}

void CBmpWriter::AppendPixels(QByteArray& out, const QImage& indexed, int bitsPerPixel)
{
    const int stride = RowStride(indexed.width(), bitsPerPixel);
    for (int y = indexed.height() - 1; y >= 0; --y) {
        const uchar* row = indexed.constScanLine(y);
        QByteArray packed(stride, '\0');
        for (int x = 0; x < indexed.width(); ++x) {
            if (bitsPerPixel == 8) {
                packed[x] = char(row[x]);
            } else {
                // Two pixels a byte, the left one in the high nibble.
                const int shift = (x % 2 == 0) ? 4 : 0;
                packed[x / 2] = char(uchar(packed[x / 2]) | (row[x] << shift));
            }
        }
        out.append(packed);
    }
}
