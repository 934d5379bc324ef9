// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Writes an indexed image as an uncompressed palette BMP (BITMAPINFOHEADER, rows
// bottom-up, each padded to four bytes) at 8 or 4 bits per pixel. Qt writes BMPs only
// at 24 or 32 bits, and the program's resources are stated at these depths.

#include <QByteArray>
#include <QImage>
#include <QString>

class CBmpWriter
{
public:
    // False when the depth is not 4 or 8, the palette does not fit it, or the file
    // cannot be written.
    static bool Write(const QImage& indexed, int bitsPerPixel, const QString& path);
    static QByteArray Encode(const QImage& indexed, int bitsPerPixel);

private:
    static int RowStride(int width, int bitsPerPixel);
    static void AppendHeaders(QByteArray& out, const QImage& indexed, int bitsPerPixel);
    static void AppendPalette(QByteArray& out, const QImage& indexed);
    static void AppendPixels(QByteArray& out, const QImage& indexed, int bitsPerPixel);
};
