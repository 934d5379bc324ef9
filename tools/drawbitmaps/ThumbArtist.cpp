// SPDX-License-Identifier: GPL-2.0-or-later
#include "ThumbArtist.h"

#include "ArtPalette.h"

#include <QLinearGradient>
#include <QPainter>

namespace {

using namespace ArtPalette;

constexpr double kRadius = 3;
constexpr int kGripCount = 3;
constexpr int kGripSpacing = 2;
constexpr int kGripMargin = 3;

} // namespace

QImage CThumbArtist::Draw(const QSize& size, bool pressed, QRgb background)
{
    QImage thumb(size, QImage::Format_RGB32);
    thumb.fill(QColor(background));
    QPainter painter(&thumb);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool upright = size.height() > size.width();
    const QRectF body = QRectF(QPointF(0, 0), size).adjusted(0.5, 0.5, -0.5, -0.5);
    // Lit along the short side, so the key reads as round across the trackbar.
    QLinearGradient fill(body.topLeft(), upright ? body.topRight() : body.bottomLeft());
    fill.setColorAt(0, QColor(pressed ? kDiscPressedTop : kDiscTop));
    fill.setColorAt(1, QColor(pressed ? kDiscPressedBottom : kDiscBottom));
    painter.setPen(QPen(QColor(kDiscRim), 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(body, kRadius, kRadius);

    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(pressed ? QColor(kDiscTop) : QColor(kDiscRim));
    const int along = upright ? size.height() : size.width();
    const int first = along / 2 - kGripSpacing * (kGripCount - 1) / 2;
    for (int i = 0; i < kGripCount; ++i) {
        const int at = first + i * kGripSpacing;
        if (upright)
            painter.drawLine(kGripMargin, at, size.width() - 1 - kGripMargin, at);
        else
            painter.drawLine(at, kGripMargin, at, size.height() - 1 - kGripMargin);
    }
    return thumb;
}
