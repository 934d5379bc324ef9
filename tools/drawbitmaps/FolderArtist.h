// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Draws mediapick's folder picture: a yellow folder on white, which the tree view
// treats as transparent. Drawn without antialiasing so no near-white fringe shows on
// a background that is not white.

#include <QImage>

class CFolderArtist
{
public:
    static QImage Draw();
};
