// SPDX-License-Identifier: GPL-2.0-or-later
#include "IconArtist.h"

#include "ArtPalette.h"

#include <QDir>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

using namespace ArtPalette;

constexpr double kCanvas = 256;
constexpr double kCentreX = kCanvas / 2;
constexpr double kTileMargin = 8;
constexpr double kTileRadius = 44;
constexpr double kBookTop = 132;
constexpr double kBookBottom = 210;
constexpr double kPageWidth = 96;
constexpr double kPageSag = 13;
constexpr int kTextLinesPerPage = 5;
// Below this many pixels the details merge into noise.
constexpr int kDetailedFrom = 48;


const QString kIconName = QStringLiteral("vellumdeck");

QPainterPath PagePath(double side)
{
    const double outer = kCentreX + side * kPageWidth;
    QPainterPath page;
    page.moveTo(kCentreX, kBookTop + kPageSag);
    page.quadTo(kCentreX + side * kPageWidth * 0.45, kBookTop - 6, outer, kBookTop);
    page.lineTo(outer, kBookBottom - kPageSag);
    page.quadTo(kCentreX + side * kPageWidth * 0.45, kBookBottom - kPageSag - 6, kCentreX, kBookBottom);
    page.closeSubpath();
    return page;
}

}  // namespace

const QList<int> CIconArtist::kSizes{16, 32, 48, 64, 128, 256};

QImage CIconArtist::Draw(int size)
{
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / kCanvas, size / kCanvas);
    const bool detailed = size >= kDetailedFrom;
    DrawTile(painter);
    DrawHeadphones(painter, detailed);
    DrawBook(painter, detailed);
    return icon;
}

void CIconArtist::DrawTile(QPainter& painter)
{
    const QRectF tile(kTileMargin, kTileMargin, kCanvas - 2 * kTileMargin, kCanvas - 2 * kTileMargin);
    QLinearGradient fade(tile.topLeft(), tile.bottomLeft());
    fade.setColorAt(0, QColor(kTopBlue));
    fade.setColorAt(1, QColor(kPaneBackground));
    painter.setPen(QPen(QColor(kPaneRim), 4));
    painter.setBrush(fade);
    painter.drawRoundedRect(tile, kTileRadius, kTileRadius);

    QRadialGradient glow(QPointF(kCentreX, kBookTop), kCanvas * 0.4);
    QColor edge(kGlow);
    edge.setAlpha(0);
    glow.setColorAt(0, QColor(kGlow));
    glow.setColorAt(1, edge);
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawRoundedRect(tile, kTileRadius, kTileRadius);
}

void CIconArtist::DrawBook(QPainter& painter, bool detailed)
{
    for (double side : {-1.0, 1.0}) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(kPageEdge));
        painter.drawPath(PagePath(side).translated(side * 3, 8));
        QLinearGradient paper(QPointF(kCentreX, 0), QPointF(kCentreX + side * kPageWidth, 0));
        paper.setColorAt(0, QColor(kVellumShade));
        paper.setColorAt(0.25, QColor(kVellum));
        paper.setColorAt(1, QColor(kVellum));
        painter.setBrush(paper);
        painter.setPen(QPen(QColor(kPageEdge), 2));
        painter.drawPath(PagePath(side));
        if (!detailed)
            continue;
        painter.setPen(QPen(QColor(kInk), 4, Qt::SolidLine, Qt::RoundCap));
        painter.setBrush(Qt::NoBrush);
        for (int i = 0; i < kTextLinesPerPage; ++i) {
            const double y = kBookTop + 14 + i * 11;
            const double outer = kCentreX + side * (i == kTextLinesPerPage - 1 ? 56 : 80);
            QPainterPath line;
            line.moveTo(kCentreX + side * 14, y + 6);
            line.quadTo(kCentreX + side * 42, y - 2, outer, y);
            painter.drawPath(line);
        }
    }
}

void CIconArtist::DrawHeadphones(QPainter& painter, bool detailed)
{
    const QRectF band(kCentreX - 104, 30, 208, 200);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(kBand), detailed ? 12 : 20, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(band, 10 * 16, 160 * 16);

    for (double side : {-1.0, 1.0}) {
        const QRectF cup(kCentreX + side * 104 - 17, 100, 34, 62);
        QLinearGradient amber(cup.topLeft(), cup.bottomLeft());
        amber.setColorAt(0, QColor(kDiscTop));
        amber.setColorAt(1, QColor(kDiscBottom));
        painter.setPen(QPen(QColor(kDiscRim), 2));
        painter.setBrush(amber);
        painter.drawRoundedRect(cup, 12, 12);
        if (!detailed)
            continue;
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(kChannel), 4, Qt::SolidLine, Qt::RoundCap));
        for (int ring = 0; ring < 2; ++ring) {
            const double r = 20 + ring * 12;
            const QRectF arc(cup.center().x() - r, cup.center().y() - r, 2 * r, 2 * r);
            const int start = side < 0 ? 150 : -30;
            painter.drawArc(arc.translated(side * 12, 0), start * 16, 60 * 16);
        }
    }
}

bool CIconArtist::WriteAll(const QString& folder, QString* failed)
{
    const QDir icons(folder);
    const QString resource = icons.filePath(QStringLiteral("%1-%2.png").arg(kResourceSize).arg(kIconName));
    if (!QDir().mkpath(icons.filePath(QStringLiteral("hicolor"))) || !Draw(kResourceSize).save(resource)) {
        *failed = resource;
        return false;
    }
    for (int size : kSizes) {
        const QString path = icons.filePath(QStringLiteral("hicolor/%1-%2.png").arg(kIconName).arg(size));
        if (!Draw(size).save(path)) {
            *failed = path;
            return false;
        }
    }
    return true;
}
