// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Puts the written bitmaps together as the main view shows them at start-up with a
// recording playing: skin, logo in the pane, one face of every button, thumbs on both
// trackbars and two time texts. For looking at the art, not for the program.

#include <QImage>
#include <QString>

class CPanelPreview
{
public:
    // The composite, enlarged by zoom; a null image when a bitmap cannot be read.
    static QImage Render(const QString& bitmapFolder, int zoom);

private:
    static QImage Load(const QString& folder, int id);
    static void DrawTrackbars(QImage& view, const QString& folder);
    static void DrawTimeTexts(QImage& view);
};
