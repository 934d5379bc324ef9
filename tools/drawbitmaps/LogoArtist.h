// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Draws the logo that covers the text pane while no study text is loaded: an open
// book under a pair of headphones, the program's name and what it is for, on the
// pane's own dark blue. Only about the top-left 231 x 202 pixels show through the pane,
// so everything that matters keeps clear of the right and bottom edges.

#include <QImage>
#include <QPainter>

class CLogoArtist
{
public:
    static QImage Draw();

private:
    static void DrawBackground(QPainter& painter, const QSize& size);
    static void DrawBook(QPainter& painter);
    static void DrawHeadphones(QPainter& painter);
    static void DrawTitle(QPainter& painter);
};
