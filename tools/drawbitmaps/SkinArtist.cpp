// SPDX-License-Identifier: GPL-2.0-or-later
#include "SkinArtist.h"

#include "ArtPalette.h"
#include "PanelLayout.h"
#include "resource.h"

#include <QPainter>
#include <QPainterPath>

namespace {

using namespace ArtPalette;
using namespace PanelLayout;

// The deck runs under the small buttons, from behind the play key to the right edge.
constexpr QRectF kDeckRect(46.5, 242.5, 191, 24);
constexpr double kDeckRadius = 6;
constexpr double kPlayWellRadius = 21;
constexpr int kGrooveTop = 247;
constexpr int kGrooveBottom = 261;
// Grooves between the button groups: stop | step | previous, next | A-B, repeats.
constexpr int kGrooves[] = {74, 123, 172};
constexpr double kPodRadius = 5;
constexpr int kPodMargin = 2;

QColor Colour(QRgb rgb)
{
    return QColor(rgb);
}

} // namespace

QImage CSkinArtist::Draw()
{
    QImage skin(SKIN_WIDTH, SKIN_HEIGHT, QImage::Format_RGB32);
    DrawBody(skin);
    DrawPaneWell(skin);
    DrawVolumePod(skin);
    DrawTimeDivider(skin);
    DrawDeck(skin);
    return skin;
}

void CSkinArtist::DrawBody(QImage& skin)
{
    skin.fill(Colour(kBody));
    QPainter painter(&skin);
    const int right = skin.width() - 1;
    const int bottom = skin.height() - 1;
    painter.setPen(Colour(kBodyLight));
    painter.drawLine(0, 0, right, 0);
    painter.drawLine(0, 0, 0, bottom);
    painter.setPen(Colour(kBodyShade));
    painter.drawLine(1, bottom, right, bottom);
    painter.drawLine(right, 1, right, bottom);
}

void CSkinArtist::DrawPaneWell(QImage& skin)
{
    // The pane sits in a one-pixel dark rim, sunk into a body lit from the top left.
    const int left = kTextPane.left() - 1;
    const int top = kTextPane.top() - 1;
    const int right = kTextPane.right() + 1;
    const int bottom = kTextPane.bottom() + 1;
    QPainter painter(&skin);
    painter.fillRect(kTextPane, Colour(kPaneBackground));
    painter.setPen(Colour(kPaneRim));
    painter.drawLine(left, top, right, top);
    painter.drawLine(left, bottom, right, bottom);
    painter.drawLine(left, top, left, bottom);
    painter.drawLine(right, top, right, bottom);
    painter.setPen(Colour(kBodyShade));
    painter.drawLine(left - 1, top - 1, right + 1, top - 1);
    painter.drawLine(left - 1, top - 1, left - 1, bottom + 1);
    painter.setPen(Colour(kBodyLight));
    painter.drawLine(left, bottom + 1, right + 1, bottom + 1);
    painter.drawLine(right + 1, top, right + 1, bottom + 1);
}

void CSkinArtist::DrawVolumePod(QImage& skin)
{
    // The volume trackbar paints its whole rectangle in its background colour; the pod
    // is that colour, grown around the trackbar and the sound toggle beside it.
    const QRect reach = SliderReach(kVolumeSliderUnits).united(kSound);
    const QRectF pod = QRectF(reach.adjusted(-kPodMargin, -kPodMargin, kPodMargin, kPodMargin))
                           .adjusted(0.5, 0.5, -0.5, -0.5);
    QPainter painter(&skin);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Colour(kPodEdge), 1));
    painter.setBrush(Colour(kVolumeBackground));
    painter.drawRoundedRect(pod, kPodRadius, kPodRadius);
    // Antialiasing must not tint the trackbar's own rectangle.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.fillRect(reach, Colour(kVolumeBackground));
}

void CSkinArtist::DrawTimeDivider(QImage& skin)
{
    // A faint slash between position and total time, clear of both texts' room.
    const int middle = (kPositionText.x() + kTimeTextRoom.width() + kTotalText.x()) / 2;
    const int top = kTotalText.y() + 3;
    const int bottom = kTotalText.y() + kTimeTextRoom.height() - 3;
    QPainter painter(&skin);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Colour(kDivider), 1.2));
    painter.drawLine(QPointF(middle + 2.5, top), QPointF(middle - 1.5, bottom));
}

void CSkinArtist::DrawDeck(QImage& skin)
{
    const QPointF playCentre = QRectF(kPlay).center();
    QPainterPath deck;
    deck.addRoundedRect(kDeckRect, kDeckRadius, kDeckRadius);
    QPainterPath well;
    well.addEllipse(playCentre, kPlayWellRadius, kPlayWellRadius);
    QPainter painter(&skin);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Colour(kDeckEdge), 1));
    painter.setBrush(Colour(kDeck));
    painter.drawPath(deck.united(well).simplified());

    painter.setRenderHint(QPainter::Antialiasing, false);
    for (int x : kGrooves) {
        painter.setPen(Colour(kDeckEdge));
        painter.drawLine(x, kGrooveTop, x, kGrooveBottom);
        painter.setPen(Colour(kCapBottom));
        painter.drawLine(x + 1, kGrooveTop + 1, x + 1, kGrooveBottom + 1);
    }
}
