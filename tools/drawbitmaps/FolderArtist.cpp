// SPDX-License-Identifier: GPL-2.0-or-later
#include "FolderArtist.h"

#include "MediapickResource.h"

#include <QPainter>

namespace {

constexpr QRgb kTransparentWhite = qRgb(255, 255, 255);
constexpr QRgb kOutline = qRgb(168, 112, 8);
constexpr QRgb kBack = qRgb(232, 176, 40);
constexpr QRgb kFront = qRgb(255, 210, 84);
constexpr QRgb kShine = qRgb(255, 234, 150);

} // namespace

QImage CFolderArtist::Draw()
{
    QImage folder(FOLDER_PICTURE_SIZE, FOLDER_PICTURE_SIZE, QImage::Format_RGB32);
    folder.fill(QColor(kTransparentWhite));
    QPainter painter(&folder);
    // The tab, then the back of the folder, then its front flap over both.
    painter.fillRect(QRect(1, 2, 6, 2), QColor(kBack));
    painter.fillRect(QRect(1, 4, 14, 10), QColor(kBack));
    painter.setPen(QColor(kOutline));
    painter.drawLine(2, 2, 6, 2);
    painter.drawLine(1, 3, 1, 13);
    painter.drawLine(6, 2, 7, 4);
    painter.drawLine(7, 4, 14, 4);
    painter.drawLine(14, 4, 14, 13);
    painter.drawLine(1, 13, 14, 13);
    painter.fillRect(QRect(2, 7, 12, 6), QColor(kFront));
    painter.drawLine(2, 6, 13, 6);
    painter.setPen(QColor(kShine));
    painter.drawLine(2, 7, 13, 7);
    return folder;
}
