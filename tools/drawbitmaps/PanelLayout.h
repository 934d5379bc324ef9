// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Where things sit on the 240 x 270 skin, in the view's client pixels. The buttons,
// the text pane and the time texts are placed in pixels by the main view; the two
// trackbars come from form 101 in dialog units and land wherever the dialog builder
// rounds them, so the art covers every pixel they could reach.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace PanelLayout {

// Win32 rectangles: left, top, right, bottom with right and bottom outside.
constexpr QRect FromEdges(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

inline constexpr QRect kTextPane = FromEdges(3, 3, 234, 205);

inline constexpr QRect kPlay = FromEdges(13, 229, 51, 267);
inline constexpr QRect kStop = FromEdges(52, 246, 68, 262);
inline constexpr QRect kStepBack = FromEdges(82, 246, 98, 262);
inline constexpr QRect kStepForward = FromEdges(101, 246, 117, 262);
inline constexpr QRect kPrevious = FromEdges(130, 246, 146, 262);
inline constexpr QRect kNext = FromEdges(149, 246, 165, 262);
inline constexpr QRect kLoop = FromEdges(179, 246, 195, 262);
inline constexpr QRect kRepeatTrack = FromEdges(199, 246, 215, 262);
inline constexpr QRect kSound = FromEdges(204, 210, 213, 237);
inline constexpr QRect kRepeatList = FromEdges(218, 246, 234, 262);

// Form 101's trackbars in dialog units (x, y, width, height).
inline constexpr double kPixelsPerDialogUnit = 1.75;
inline constexpr QRect kSeekSliderUnits(4, 121, 104, 8);
inline constexpr QRect kVolumeSliderUnits(122, 119, 11, 17);

// The top-left corners of the position and total-time texts, and the room kept calm
// for each: eight digits and colons in a small font, with slack for a wider face.
inline constexpr QPoint kPositionText(55, 224);
inline constexpr QPoint kTotalText(137, 224);
inline constexpr QSize kTimeTextRoom(62, 16);

// Every pixel a trackbar may cover, whichever way its dialog units are rounded.
QRect SliderReach(const QRect& dialogUnits);

} // namespace PanelLayout
