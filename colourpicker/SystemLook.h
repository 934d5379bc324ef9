// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The desktop's stand-ins for the system metrics, system colours and 3-D edges that the
// picker and its grid are drawn with. The colours come from the application's palette,
// so the controls follow the desktop theme like the rest of the dialog.

#include "Win32Defs.h"

#include <QColor>
#include <QRect>

class QPainter;

namespace SystemLook {

// Width and height of a 3-D edge (SM_CXEDGE, SM_CYEDGE).
constexpr int kEdgeWidth = 2;
constexpr int kEdgeHeight = 2;

// System colour indices, numbered as the colours are known elsewhere in the program.
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_BTNSHADOW = 16;
constexpr int COLOR_BTNTEXT = 18;
constexpr int COLOR_BTNHIGHLIGHT = 20;
constexpr int COLOR_3DDKSHADOW = 21;
constexpr int COLOR_3DLIGHT = 22;

QColor GetSysColor(int index);
COLORREF GetSysColorRef(int index);

// Edge layers; an edge is an outer and an inner layer, one pixel each.
constexpr UINT BDR_RAISEDOUTER = 0x0001;
constexpr UINT BDR_SUNKENOUTER = 0x0002;
constexpr UINT BDR_RAISEDINNER = 0x0004;
constexpr UINT BDR_SUNKENINNER = 0x0008;
constexpr UINT EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr UINT EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;

// Draws the edge on all four sides just inside rect and returns the rectangle inside it.
QRect DrawEdge(QPainter& painter, const QRect& rect, UINT edge);

// Outline of rect (its last column and row included) in a one-pixel pen, unfilled.
void DrawOutline(QPainter& painter, const QRect& rect, const QColor& colour);

// A dotted rectangle marking keyboard focus.
void DrawFocusRect(QPainter& painter, const QRect& rect);

} // namespace SystemLook
