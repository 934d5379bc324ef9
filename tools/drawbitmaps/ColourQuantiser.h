// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Reduces a true-colour drawing to an indexed image of at most N colours by median
// cut. Colours named as exact keep palette entries of their own, so flat areas that
// other bitmaps must meet seamlessly come out unchanged. No dithering: the art is
// flat shapes and soft gradients, where dither noise looks worse than a step.

#include <QImage>
#include <QList>

#include <vector>

class CColourQuantiser
{
public:
    CColourQuantiser(int maxColours, QList<QRgb> exactColours);

    // An indexed 8-bit image of the same size with at most maxColours table entries.
    QImage Quantise(const QImage& image) const;

private:
    struct Weighted
    {
        QRgb colour;
        int count;
    };
    using Box = std::vector<Weighted>;

    QList<QRgb> BuildPalette(const QImage& image) const;
    QList<QRgb> MedianCut(Box colours, int boxCount) const;
    static int LongestChannel(const Box& box, int* range);
    static QRgb AverageOf(const Box& box);
    static int Nearest(const QList<QRgb>& palette, QRgb colour);

    int m_maxColours;
    QList<QRgb> m_exactColours;
};
