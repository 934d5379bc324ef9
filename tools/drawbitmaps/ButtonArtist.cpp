// SPDX-License-Identifier: GPL-2.0-or-later
#include "ButtonArtist.h"

#include "ArtPalette.h"
#include "PixelGlyphs.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QPolygonF>

namespace {

using namespace ArtPalette;

constexpr double kCapRadius = 3;
constexpr double kSoundCapRadius = 4;
constexpr int kDiscSize = 38;
// Pressed glyphs move down a pixel, as if the key had gone in.
constexpr int kPressedShift = 1;

QPolygonF Triangle(QPointF a, QPointF b, QPointF c)
{
    return QPolygonF({a, b, c});
}

void FillPolygon(QPainter& painter, const QPolygonF& polygon, const QColor& colour)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPolygon(polygon);
}

bool IsSunk(CButtonArtist::Look look)
{
    return look == CButtonArtist::Look::Pressed || look == CButtonArtist::Look::Latched;
}

} // namespace

CButtonArtist::CButtonArtist(QImage skin) : m_skin(std::move(skin)) {}

QImage CButtonArtist::DrawFace(const QRect& where, Glyph glyph, Look look) const
{
    QImage face = m_skin.copy(where);
    QPainter painter(&face);
    painter.setRenderHint(QPainter::Antialiasing);
    if (glyph == Glyph::Play || glyph == Glyph::Pause) {
        DrawDisc(painter, face.size(), look);
        DrawDiscGlyph(painter, glyph, look);
        return face;
    }
    DrawCap(painter, face.size(), look);
    if (glyph == Glyph::SoundOn || glyph == Glyph::SoundOff)
        DrawSpeakerGlyph(painter, glyph == Glyph::SoundOn);
    else
        DrawSmallGlyph(painter, glyph, look);
    return face;
}

void CButtonArtist::DrawDisc(QPainter& painter, const QSize& size, Look look)
{
    const QRectF disc = QRectF(QPointF(0, 0), size).adjusted(1, 1, -1, -1);
    QLinearGradient fill(disc.topLeft(), disc.bottomLeft());
    QColor rim(kDiscRim);
    if (look == Look::Dimmed) {
        fill.setColorAt(0, QColor(kDiscDimTop));
        fill.setColorAt(1, QColor(kDiscDimBottom));
        rim = QColor(kDiscDimRim);
    } else if (IsSunk(look)) {
        fill.setColorAt(0, QColor(kDiscPressedTop));
        fill.setColorAt(1, QColor(kDiscPressedBottom));
    } else {
        fill.setColorAt(0, QColor(kDiscTop));
        fill.setColorAt(1, QColor(kDiscBottom));
    }
    painter.setPen(QPen(rim, 1));
    painter.setBrush(fill);
    painter.drawEllipse(disc.adjusted(0.5, 0.5, -0.5, -0.5));
    // A soft gloss on the upper half of a raised key, an inner shadow on a pressed one.
    painter.setBrush(Qt::NoBrush);
    if (look == Look::Raised) {
        painter.setPen(QPen(QColor(255, 236, 190, 150), 1.5));
        painter.drawArc(disc.adjusted(3, 3, -3, -3), 35 * 16, 110 * 16);
    } else if (IsSunk(look)) {
        painter.setPen(QPen(QColor(90, 40, 0, 160), 2));
        painter.drawArc(disc.adjusted(2, 2, -2, -2), 25 * 16, 130 * 16);
    }
}

void CButtonArtist::DrawCap(QPainter& painter, const QSize& size, Look look)
{
    const bool tall = size.height() > size.width();
    const double radius = tall ? kSoundCapRadius : kCapRadius;
    const QRectF cap = QRectF(QPointF(0, 0), size).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient fill(cap.topLeft(), cap.bottomLeft());
    if (IsSunk(look)) {
        fill.setColorAt(0, QColor(kCapPressedTop));
        fill.setColorAt(1, QColor(kCapPressedBottom));
    } else {
        fill.setColorAt(0, QColor(kCapTop));
        fill.setColorAt(1, QColor(kCapBottom));
    }
    painter.setPen(QPen(QColor(kCapOutline), 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(cap, radius, radius);

    const double inset = radius;
    const double lineY = 1.5;
    if (IsSunk(look)) {
        painter.setPen(QPen(QColor(kCapInnerShadow), 1));
        painter.drawLine(QPointF(inset - 1, lineY), QPointF(size.width() - inset + 1, lineY));
    } else {
        painter.setPen(QPen(QColor(kCapHighlight), 1));
        painter.drawLine(QPointF(inset, lineY), QPointF(size.width() - inset, lineY));
    }
}

QColor CButtonArtist::GlyphColour(Look look)
{
    switch (look) {
    case Look::Pressed:
        return QColor(kGlyphPressed);
    case Look::Latched:
        return QColor(kGlyphLit);
    default:
        return QColor(kGlyph);
    }
}

void CButtonArtist::DrawDiscGlyph(QPainter& painter, Glyph glyph, Look look)
{
    const QColor colour = look == Look::Dimmed ? QColor(kDiscDimRim) : QColor(kGlyphOnAmber);
    painter.save();
    if (IsSunk(look))
        painter.translate(0, kPressedShift);
    const double middle = kDiscSize / 2.0;
    if (glyph == Glyph::Play) {
        // Shifted right of the centre so that the triangle looks centred.
        FillPolygon(painter,
                    Triangle({middle - 5, middle - 8.5}, {middle - 5, middle + 8.5},
                             {middle + 9.5, middle}),
                    colour);
    } else {
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawRoundedRect(QRectF(middle - 7, middle - 8, 5, 16), 1, 1);
        painter.drawRoundedRect(QRectF(middle + 2, middle - 8, 5, 16), 1, 1);
    }
    painter.restore();
}

void CButtonArtist::DrawSmallGlyph(QPainter& painter, Glyph glyph, Look look)
{
    const QColor colour = GlyphColour(look);
    painter.save();
    if (look == Look::Pressed)
        painter.translate(0, kPressedShift);
    switch (glyph) {
    case Glyph::Stop:
        painter.fillRect(QRectF(5, 5, 6, 6), colour);
        break;
    case Glyph::StepForward:
        FillPolygon(painter, Triangle({3, 4}, {3, 12}, {8, 8}), colour);
        FillPolygon(painter, Triangle({8, 4}, {8, 12}, {13, 8}), colour);
        break;
    case Glyph::StepBack:
        FillPolygon(painter, Triangle({13, 4}, {13, 12}, {8, 8}), colour);
        FillPolygon(painter, Triangle({8, 4}, {8, 12}, {3, 8}), colour);
        break;
    case Glyph::Next:
        FillPolygon(painter, Triangle({4, 4}, {4, 12}, {10, 8}), colour);
        painter.fillRect(QRectF(10, 4, 2, 8), colour);
        break;
    case Glyph::Previous:
        painter.fillRect(QRectF(4, 4, 2, 8), colour);
        FillPolygon(painter, Triangle({12, 4}, {12, 12}, {6, 8}), colour);
        break;
    case Glyph::LoopNone:
    case Glyph::LoopA:
    case Glyph::LoopAB:
        DrawLoopGlyph(painter, glyph, colour, QColor(kGlyphLit));
        break;
    case Glyph::RepeatTrack:
        DrawRepeatGlyph(painter, true, colour);
        break;
    case Glyph::RepeatList:
        DrawRepeatGlyph(painter, false, colour);
        break;
    default:
        break;
    }
    painter.restore();
}

void CButtonArtist::DrawLoopGlyph(QPainter& painter, Glyph glyph, QColor plain, QColor lit)
{
    // "A-B" in pixel letters; each point that is set lights up and gets a mark below,
    // and a set loop joins the two marks into a bracket.
    const bool aSet = glyph != Glyph::LoopNone;
    const bool bSet = glyph == Glyph::LoopAB;
    constexpr int letterTop = 3;
    constexpr int aLeft = 1;
    constexpr int bLeft = 10;
    constexpr int markY = 12;
    PixelGlyphs::Draw(painter, PixelGlyphs::kLetterA, aLeft, letterTop, aSet ? lit : plain);
    PixelGlyphs::Draw(painter, PixelGlyphs::kLetterB, bLeft, letterTop, bSet ? lit : plain);
    painter.fillRect(QRect(7, 6, 2, 1), plain);
    if (aSet)
        painter.fillRect(QRect(aLeft + 1, markY, 3, 2), lit);
    if (bSet) {
        painter.fillRect(QRect(bLeft + 1, markY, 3, 2), lit);
        painter.fillRect(QRect(aLeft + 1, markY + 1, bLeft - aLeft + 3, 1), lit);
    }
}

void CButtonArtist::DrawRepeatGlyph(QPainter& painter, bool withOne, QColor colour)
{
    // Two arrows chasing each other round a rounded loop; repeat-one carries a 1.
    constexpr double left = 2.5;
    constexpr double top = 3.5;
    constexpr double right = 13.5;
    constexpr double bottom = 12.5;
    constexpr double head = 2.5;
    constexpr double bend = 2.5;
    QPainterPath upper;
    upper.moveTo(left, bottom - 1.5);
    upper.lineTo(left, top + bend);
    upper.quadTo(left, top, left + bend, top);
    upper.lineTo(right - 3.5, top);
    QPainterPath lower;
    lower.moveTo(right, top + 1.5);
    lower.lineTo(right, bottom - bend);
    lower.quadTo(right, bottom, right - bend, bottom);
    lower.lineTo(left + 3.5, bottom);
    painter.setPen(QPen(colour, 1, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(upper);
    painter.drawPath(lower);
    FillPolygon(painter,
                Triangle({right - 3.5, top - head}, {right - 3.5, top + head}, {right + 0.5, top}),
                colour);
    FillPolygon(painter,
                Triangle({left + 3.5, bottom - head}, {left + 3.5, bottom + head}, {left - 0.5, bottom}),
                colour);
    if (withOne)
        PixelGlyphs::Draw(painter, PixelGlyphs::kDigitOne, 7, 6, colour);
}

void CButtonArtist::DrawSpeakerGlyph(QPainter& painter, bool soundOn)
{
    // A speaker at the top of the narrow key and a lamp at its foot: a sound wave and a
    // lit lamp while sound is on, a cross and a dark lamp while it is off.
    constexpr int speakerLeft = 1;
    constexpr int speakerTop = 4;
    constexpr int crossLeft = 5;
    constexpr int crossTop = 6;
    constexpr QRectF lamp(2.5, 19, 4, 4);
    if (soundOn) {
        PixelGlyphs::Draw(painter, PixelGlyphs::kSpeakerOn, speakerLeft, speakerTop,
                          QColor(kGlyph));
    } else {
        const int shift = kPressedShift;
        PixelGlyphs::Draw(painter, PixelGlyphs::kSpeakerBody, speakerLeft, speakerTop + shift,
                          QColor(kGlyphDim));
        PixelGlyphs::Draw(painter, PixelGlyphs::kCross, crossLeft, crossTop + shift,
                          QColor(kGlyphLit));
    }
    painter.setPen(QPen(QColor(kCapOutline), 1));
    painter.setBrush(soundOn ? QColor(kGlyphLit) : QColor(kCapInnerShadow));
    painter.drawEllipse(soundOn ? lamp : lamp.translated(0, kPressedShift));
}
