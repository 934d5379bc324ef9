// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Draws the skin: the body of the device around the text pane, the button deck with
// the round well of the play key, the volume pod that holds the sound toggle and the
// volume trackbar, and calm ground under the two time texts.

#include <QImage>

class CSkinArtist
{
public:
    static QImage Draw();

private:
    static void DrawBody(QImage& skin);
    static void DrawPaneWell(QImage& skin);
    static void DrawVolumePod(QImage& skin);
    static void DrawTimeDivider(QImage& skin);
    static void DrawDeck(QImage& skin);
};
