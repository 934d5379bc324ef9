// SPDX-License-Identifier: GPL-2.0-or-later
#include "LogoArtist.h"

#include "ArtPalette.h"
#include "resource.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

using namespace ArtPalette;

// The part of the logo the pane shows, and the middle of that part.
constexpr double kVisibleWidth = 231;
constexpr double kCentreX = kVisibleWidth / 2;
constexpr double kBookTop = 70;
constexpr double kBookBottom = 112;
constexpr double kPageWidth = 50;
constexpr double kPageSag = 7;
constexpr int kTextLinesPerPage = 5;

constexpr QRgb kSubtitle = qRgb(156, 170, 226);

const char* const kTitleFamily = "DejaVu Serif";
const char* const kSubtitleFamily = "DejaVu Sans";
constexpr int kTitlePixels = 29;
constexpr int kSubtitlePixels = 11;
constexpr double kTitleBaseline = 152;
constexpr double kRuleY = 162;
constexpr double kSubtitleBaseline = 180;

QPainterPath PagePath(double side)
{
    // side is -1 for the left page, +1 for the right; the pages sag towards the spine.
    const double outer = kCentreX + side * kPageWidth;
    QPainterPath page;
    page.moveTo(kCentreX, kBookTop + kPageSag);
    page.quadTo(kCentreX + side * kPageWidth * 0.45, kBookTop - 3, outer, kBookTop);
    page.lineTo(outer, kBookBottom - kPageSag);
    page.quadTo(kCentreX + side * kPageWidth * 0.45, kBookBottom - kPageSag - 3, kCentreX,
                kBookBottom);
    page.closeSubpath();
    return page;
}

} // namespace

QImage CLogoArtist::Draw()
{
    QImage logo(LOGO_WIDTH, LOGO_HEIGHT, QImage::Format_RGB32);
    QPainter painter(&logo);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    DrawBackground(painter, logo.size());
    DrawHeadphones(painter);
    DrawBook(painter);
    DrawTitle(painter);
    return logo;
}

void CLogoArtist::DrawBackground(QPainter& painter, const QSize& size)
{
    const QRectF all(QPointF(0, 0), size);
    QLinearGradient fade(all.topLeft(), all.bottomLeft());
    fade.setColorAt(0, QColor(kTopBlue));
    fade.setColorAt(1, QColor(kPaneBackground));
    painter.fillRect(all, fade);
    QRadialGradient glow(QPointF(kCentreX, (kBookTop + kBookBottom) / 2), 95);
    QColor centre(kGlow);
    QColor edge(kGlow);
    edge.setAlpha(0);
    glow.setColorAt(0, centre);
    glow.setColorAt(1, edge);
    painter.fillRect(all, glow);
}

void CLogoArtist::DrawBook(QPainter& painter)
{
    // The page block under the open pages gives the book its thickness.
    for (double side : {-1.0, 1.0}) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(kPageEdge));
        painter.drawPath(PagePath(side).translated(side * 1.5, 4));
        QLinearGradient paper(QPointF(kCentreX, 0), QPointF(kCentreX + side * kPageWidth, 0));
        paper.setColorAt(0, QColor(kVellumShade));
        paper.setColorAt(0.25, QColor(kVellum));
        paper.setColorAt(1, QColor(kVellum));
        painter.setBrush(paper);
        painter.setPen(QPen(QColor(kPageEdge), 1));
        painter.drawPath(PagePath(side));

        // Lines of study text, following the sag of the page.
        painter.setPen(QPen(QColor(kInk), 1.6, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < kTextLinesPerPage; ++i) {
            const double y = kBookTop + 8 + i * 6;
            const double inner = kCentreX + side * 8;
            const double outer = kCentreX + side * (i == kTextLinesPerPage - 1 ? 30 : 42);
            QPainterPath line;
            line.moveTo(inner, y + 3.5);
            line.quadTo(kCentreX + side * 22, y - 1, outer, y);
            painter.setBrush(Qt::NoBrush);
            painter.drawPath(line);
        }
    }
}

void CLogoArtist::DrawHeadphones(QPainter& painter)
{
    const QRectF band(kCentreX - 62, kBookTop - 48, 124, 110);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(kBand), 5, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(band, 8 * 16, 164 * 16);

    for (double side : {-1.0, 1.0}) {
        const QRectF cup(kCentreX + side * 62 - 8, kBookTop + 6, 16, 30);
        QLinearGradient amber(cup.topLeft(), cup.bottomLeft());
        amber.setColorAt(0, QColor(kDiscTop));
        amber.setColorAt(1, QColor(kDiscBottom));
        painter.setPen(QPen(QColor(kDiscRim), 1));
        painter.setBrush(amber);
        painter.drawRoundedRect(cup, 6, 6);
        // Sound leaving the cups.
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(kChannel), 1.6, Qt::SolidLine, Qt::RoundCap));
        for (int ring = 0; ring < 2; ++ring) {
            const double r = 10 + ring * 6;
            const QRectF arc(cup.center().x() - r, cup.center().y() - r, 2 * r, 2 * r);
            const int start = side < 0 ? 150 : -30;
            painter.drawArc(arc.translated(side * 6, 0), start * 16, 60 * 16);
        }
    }
}

void CLogoArtist::DrawTitle(QPainter& painter)
{
    QFont title(kTitleFamily);
    title.setPixelSize(kTitlePixels);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(QColor(kVellum));
    const QString name = QStringLiteral("Vellumdeck");
    const double nameWidth = painter.fontMetrics().horizontalAdvance(name);
    painter.drawText(QPointF(kCentreX - nameWidth / 2, kTitleBaseline), name);

    painter.setPen(QPen(QColor(kChannel), 2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(kCentreX - 18, kRuleY), QPointF(kCentreX + 18, kRuleY));

    QFont subtitle(kSubtitleFamily);
    subtitle.setPixelSize(kSubtitlePixels);
    subtitle.setLetterSpacing(QFont::AbsoluteSpacing, 1);
    painter.setFont(subtitle);
    painter.setPen(QColor(kSubtitle));
    const QString motto = QStringLiteral("listen \u00b7 read \u00b7 repeat");
    const double mottoWidth = painter.fontMetrics().horizontalAdvance(motto);
    painter.drawText(QPointF(kCentreX - mottoWidth / 2, kSubtitleBaseline), motto);
}
