// SPDX-License-Identifier: GPL-2.0-or-later
// The skinned slider's painting: background, ticks, channel and thumb, each part
// through OnCustomDraw.
#include "SkinSlider.h"

#include "ColourRef.h"

#include <QPainter>
#include <QPolygon>

#include <vector>

namespace {

constexpr int kTicLength = 3;
constexpr int kCornerRadius = 1;         // the 2 x 2 corner ellipse of the rounded parts

// Grip lines across a drawn thumb: their offsets from its edge, the size each needs,
// and their margins at the two ends.
constexpr int kFirstGrip = 3;
constexpr int kMoreGrips[] = {5, 7};
constexpr int kOneGripSize = 5;
constexpr int kThreeGripSize = 9;
constexpr int kBothSidesMargin = 6;
constexpr int kPointedEndMargin = 7;
constexpr int kSquareEndMargin = 5;

// A drawing context starts with a black pen; the rounded parts are outlined with it.
const QColor kContextPen(Qt::black);

// A rounded rectangle over left..right-1, top..bottom-1, as the device draws one.
void RoundRect(QPainter& painter, const QRect& rect)
{
    painter.drawRoundedRect(QRect(rect.left(), rect.top(), rect.width() - 1, rect.height() - 1),
                            kCornerRadius, kCornerRadius);
}

// Top and left edges in one colour, bottom and right in the other.
void Draw3dRect(QPainter& painter, const QRect& rect, const QColor& topLeft, const QColor& bottomRight)
{
    const int x = rect.left();
    const int y = rect.top();
    const int cx = rect.width();
    const int cy = rect.height();
    painter.fillRect(x, y, cx - 1, 1, topLeft);
    painter.fillRect(x, y, 1, cy - 1, topLeft);
    painter.fillRect(x + cx - 1, y, 1, cy, bottomRight);
    painter.fillRect(x, y + cy - 1, cx, 1, bottomRight);
}

// The outline of an upright thumb pointing up, over edges left, top, right, bottom.
QPolygon UpwardOutline(int left, int top, int right, int bottom)
{
    const int half = (right - left) / 2;
    return QPolygon({QPoint(left, top + half - 1), QPoint(left, bottom - 2), QPoint(left + 1, bottom - 1),
                     QPoint(right - 2, bottom - 1), QPoint(right - 1, bottom - 2),
                     QPoint(right - 1, top + half - 1), QPoint(right - half, top),
                     QPoint(left + half - 1, top)});
}

QPolygon MirroredTopToBottom(QPolygon outline, int top, int bottom)
{
    for (QPoint& point : outline)
        point.setY(top + bottom - 1 - point.y());
    return outline;
}

QPolygon Transposed(QPolygon outline)
{
    for (QPoint& point : outline)
        point = QPoint(point.y(), point.x());
    return outline;
}

} // namespace

// ---- painting ----

void CSkinSlider::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PaintBackground(painter);
    CustomDraw prepaint{CDDS_PREPAINT, &painter, rect(), 0, 0};
    OnCustomDraw(prepaint);   // always asks for each part
    DrawPart(painter, TBCD_TICS, rect(), 0);
    DrawPart(painter, TBCD_CHANNEL, GetChannelRect(), 0);
    DrawPart(painter, TBCD_THUMB, GetThumbRect(), isSliderDown() ? CDIS_SELECTED : 0);
}

void CSkinSlider::PaintBackground(QPainter& painter) const
{
    const QBrush* brush = CtlColor();
    painter.fillRect(rect(), brush != nullptr ? *brush : palette().window());
}

void CSkinSlider::DrawPart(QPainter& painter, DWORD_PTR item, const QRect& rect, UINT state)
{
    CustomDraw draw{CDDS_ITEMPREPAINT, &painter, rect, item, state};
    // Of the parts, only the ticks have a drawing of their own to fall back on.
    if (OnCustomDraw(draw) == CDRF_DODEFAULT && item == TBCD_TICS)
        DrawTics(painter);
}

LRESULT CSkinSlider::OnCustomDraw(CustomDraw& draw)
{
    if (draw.stage == CDDS_PREPAINT)
        return CDRF_NOTIFYITEMDRAW;
    if (draw.stage != CDDS_ITEMPREPAINT)
        return CDRF_DODEFAULT;
    if (draw.item == TBCD_TICS)
        return CDRF_DODEFAULT;
    QPainter& dc = *draw.dc;
    dc.save();
    if (draw.item == TBCD_CHANNEL)
        DrawChannel(dc, draw.rect);
    else if (draw.item == TBCD_THUMB)
        DrawThumb(dc, draw.rect, draw.itemState);
    dc.restore();
    return CDRF_SKIPDEFAULT;
}

void CSkinSlider::DrawTics(QPainter& painter) const
{
    if (tickPosition() == QSlider::NoTicks)
        return;
    painter.save();
    painter.setPen(palette().color(QPalette::WindowText));
    DrawTic(painter, minimum());
    DrawTic(painter, maximum());
    for (int position : m_tics)
        DrawTic(painter, position);
    painter.setPen(ToQColor(m_channelColor));
    for (double position : m_marks) {
        const double along = OffsetOf(position) + ThumbLength() / 2.0;
        if (IsHorizontal())
            painter.drawLine(QPointF(along, 0), QPointF(along, height() - 1));
        else
            painter.drawLine(QPointF(0, along), QPointF(width() - 1, along));
    }
    painter.restore();
}

void CSkinSlider::DrawTic(QPainter& painter, int position) const
{
    const int along = OffsetOf(position) + ThumbLength() / 2;
    const int across = IsHorizontal() ? height() : width();
    auto line = [&](int from) {
        const int to = from + kTicLength - 1;
        if (IsHorizontal())
            painter.drawLine(along, from, along, to);
        else
            painter.drawLine(from, along, to, along);
    };
    if (tickPosition() & QSlider::TicksAbove)
        line(0);
    if (tickPosition() & QSlider::TicksBelow)
        line(across - kTicLength);
}

void CSkinSlider::DrawChannel(QPainter& painter, const QRect& rect) const
{
    painter.setPen(kContextPen);
    painter.setBrush(m_channelBrush);
    RoundRect(painter, rect);
}

void CSkinSlider::DrawThumb(QPainter& painter, const QRect& rect, UINT state)
{
    m_thumbPressed = (state & CDIS_SELECTED) != 0;
    // A drawn thumb shows its press in the pressed colour, with colours derived from it.
    const bool recolour = m_thumbPressed && !m_bitmapThumbs;
    const COLORREF thumbColor = m_thumbColor;
    if (recolour) {
        m_thumbColor = m_pressedColor;
        UpdateColors();
    }
    DrawThumbShape(painter, rect, rect.height() > rect.width());
    if (recolour) {
        m_thumbColor = thumbColor;
        UpdateColors();
    }
    m_thumbPressed = false;
}

// An upright thumb (taller than wide) points up or down, a flat one left or right.
void CSkinSlider::DrawThumbShape(QPainter& painter, const QRect& rect, bool upright) const
{
    if (m_bitmapThumbs) {
        DrawBitmapThumb(painter, rect);
        return;
    }
    if (ThumbBothSides())
        DrawBothSidedBody(painter, rect);
    else
        DrawPointedBody(painter, rect, upright);
    if (isEnabled())
        DrawGrips(painter, rect, upright);
}

void CSkinSlider::DrawBitmapThumb(QPainter& painter, const QRect& rect) const
{
    // Stretched onto the thumb rectangle, measured by the normal bitmap.
    const QImage& image = m_thumbPressed ? m_pressedThumb : m_normalThumb;
    painter.drawImage(rect, image, QRect(QPoint(0, 0), m_normalThumb.size()));
}

void CSkinSlider::DrawBothSidedBody(QPainter& painter, const QRect& rect) const
{
    painter.setPen(kContextPen);
    painter.setBrush(m_thumbBrush);
    RoundRect(painter, rect);
    Draw3dRect(painter, rect.adjusted(1, 1, -1, -1), ToQColor(m_highlightColor), ToQColor(m_shadowColor));
}

void CSkinSlider::DrawPointedBody(QPainter& painter, const QRect& rect, bool upright) const
{
    const int left = rect.left();
    const int top = rect.top();
    const int right = left + rect.width();
    const int bottom = top + rect.height();
    // A flat thumb is an upright one with x and y exchanged; pointing up becomes left.
    QPolygon outline = upright ? UpwardOutline(left, top, right, bottom) : UpwardOutline(top, left, bottom, right);
    if (!ThumbTowardTop())
        outline = upright ? MirroredTopToBottom(outline, top, bottom) : MirroredTopToBottom(outline, left, right);
    if (!upright)
        outline = Transposed(outline);
    painter.setPen(kContextPen);
    painter.setBrush(m_thumbBrush);
    painter.drawPolygon(outline);
}

void CSkinSlider::DrawGrips(QPainter& painter, const QRect& rect, bool upright) const
{
    int nearMargin = kSquareEndMargin;
    int farMargin = kPointedEndMargin;
    if (ThumbBothSides()) {
        nearMargin = farMargin = kBothSidesMargin;
    } else if (ThumbTowardTop()) {
        nearMargin = kPointedEndMargin;
        farMargin = kSquareEndMargin;
    }
    // Grips cross the thumb's short side and run along its long one.
    const int across = upright ? rect.width() : rect.height();
    const int start = upright ? rect.left() : rect.top();
    const int from = (upright ? rect.top() : rect.left()) + nearMargin;
    const int to = (upright ? rect.top() + rect.height() : rect.left() + rect.width()) - farMargin - 1;
    std::vector<int> grips;
    if (across > kOneGripSize)
        grips.push_back(start + kFirstGrip);
    if (across > kThreeGripSize)
        grips.insert(grips.end(), {start + kMoreGrips[0], start + kMoreGrips[1]});
    painter.setPen(m_gripPen);
    for (int at : grips) {
        if (upright)
            painter.drawLine(at, from, at, to);
        else
            painter.drawLine(from, at, to, at);
    }
}

bool CSkinSlider::ThumbBothSides() const
{
    return m_thumbBothSides || tickPosition() == QSlider::TicksBothSides;
}

bool CSkinSlider::ThumbTowardTop() const
{
    return tickPosition() == QSlider::TicksAbove;
}
