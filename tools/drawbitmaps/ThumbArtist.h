// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Draws the trackbar thumbs: an amber key with three grip lines across its long side,
// over the trackbar's background colour. The trackbar stretches the bitmap onto its
// thumb rectangle, so the drawing keeps to shapes that survive stretching.

#include <QImage>

class CThumbArtist
{
public:
    // Upright (taller than wide) for a horizontal trackbar, flat for a vertical one.
    static QImage Draw(const QSize& size, bool pressed, QRgb background);
};
