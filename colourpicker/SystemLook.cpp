// SPDX-License-Identifier: GPL-2.0-or-later
#include "SystemLook.h"

#include "ColourRef.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>

namespace SystemLook {

QColor GetSysColor(int index)
{
    const QPalette palette = QApplication::palette();
    switch (index) {
    case COLOR_BTNFACE: return palette.color(QPalette::Active, QPalette::Button);
    case COLOR_BTNSHADOW: return palette.color(QPalette::Active, QPalette::Dark);
    case COLOR_BTNTEXT: return palette.color(QPalette::Active, QPalette::ButtonText);
    case COLOR_BTNHIGHLIGHT: return palette.color(QPalette::Active, QPalette::Light);
    case COLOR_3DDKSHADOW: return palette.color(QPalette::Active, QPalette::Shadow);
    case COLOR_3DLIGHT: return palette.color(QPalette::Active, QPalette::Midlight);
    default: return palette.color(QPalette::Active, QPalette::Window);
    }
}

COLORREF GetSysColorRef(int index)
{
    return ToColourRef(GetSysColor(index));
}

namespace {

// One layer of an edge: top and left in one colour, then bottom and right in the other,
// which therefore own the two far corners.
void DrawLayer(QPainter& painter, const QRect& rect, const QColor& topLeft, const QColor& bottomRight)
{
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), topLeft);
    painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), topLeft);
    painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), bottomRight);
    painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), bottomRight);
}

} // namespace

QRect DrawEdge(QPainter& painter, const QRect& rect, UINT edge)
{
    QRect inside = rect;
    if (edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER)) {
        if (edge & BDR_RAISEDOUTER)
            DrawLayer(painter, inside, GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_3DDKSHADOW));
        else
            DrawLayer(painter, inside, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
        inside.adjust(1, 1, -1, -1);
    }
    if (edge & (BDR_RAISEDINNER | BDR_SUNKENINNER)) {
        if (edge & BDR_RAISEDINNER)
            DrawLayer(painter, inside, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
        else
            DrawLayer(painter, inside, GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT));
        inside.adjust(1, 1, -1, -1);
    }
    return inside;
}

void DrawOutline(QPainter& painter, const QRect& rect, const QColor& colour)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    painter.save();
    painter.setPen(QPen(colour, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.restore();
}

void DrawFocusRect(QPainter& painter, const QRect& rect)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    painter.save();
    painter.setPen(QPen(GetSysColor(COLOR_BTNTEXT), 0, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.restore();
}

} // namespace SystemLook
