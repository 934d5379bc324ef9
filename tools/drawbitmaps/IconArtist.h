// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Draws the program's icon, the logo's motif on a tile: an open book under a pair of
// headphones, on the pane's dark blue. Drawn on a 256-unit canvas scaled to each size;
// the small sizes leave out the page lines and the sound rings, which would only blur.
// The 128-pixel icon is also the program's icon resource 128 (the About box).

#include <QImage>
#include <QList>
#include <QPainter>
#include <QString>

class CIconArtist
{
public:
    // The sizes the desktop's icon theme asks for.
    static const QList<int> kSizes;
    static constexpr int kResourceSize = 128;

    static QImage Draw(int size);
    // Writes "<folder>/128-vellumdeck.png" and "<folder>/hicolor/vellumdeck-<N>.png";
    // the path of a file that could not be written goes to failed.
    static bool WriteAll(const QString& folder, QString* failed);

private:
    static void DrawTile(QPainter& painter);
    static void DrawBook(QPainter& painter, bool detailed);
    static void DrawHeadphones(QPainter& painter, bool detailed);
};
